#include "vexa/ui/recorder_drives.h"

#include "quillon.h"

namespace vexa {

void LibraryRecorderDrives::CloseDrive() { CloseSTANAGDrive(); }

int LibraryRecorderDrives::DrivesVolumeNames(char* driveList, char* volumeList) {
    return GetSTANAGDrivesVolumeNames(driveList, volumeList);
}

int LibraryRecorderDrives::FilesSizes(const char* drive, char* fileList, int64_t* sizes) {
    return GetSTANAGFilesSizes(drive, fileList, sizes);
}

int NoRecorderDrives::DrivesVolumeNames(char* driveList, char* volumeList) {
    driveList[0] = '\0';
    volumeList[0] = '\0';
    return 0;
}

int NoRecorderDrives::FilesSizes(const char*, char* fileList, int64_t*) {
    fileList[0] = '\0';
    return 0;
}

}  // namespace vexa
