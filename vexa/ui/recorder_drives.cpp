#include "vexa/ui/recorder_drives.h"

#include "quillon.h"

namespace vexa {
namespace {

class LibraryDrives final : public RecorderDrives {
public:
    void CloseDrive() override { CloseSTANAGDrive(); }
    int DrivesVolumeNames(char* driveList, char* volumeList) override {
        return GetSTANAGDrivesVolumeNames(driveList, volumeList);
    }
    int FilesSizes(const char* drive, char* fileList, int64_t* sizes) override {
        return GetSTANAGFilesSizes(drive, fileList, sizes);
    }
};

class NoDrives final : public RecorderDrives {
public:
    void CloseDrive() override {}
    int DrivesVolumeNames(char* driveList, char* volumeList) override {
        driveList[0] = '\0';
        volumeList[0] = '\0';
        return 0;
    }
    int FilesSizes(const char*, char* fileList, int64_t*) override {
        fileList[0] = '\0';
        return 0;
    }
};

}  // namespace

RecorderDrives& LibraryRecorderDrives() {
    static LibraryDrives drives;
    return drives;
}

RecorderDrives& NoRecorderDrives() {
    static NoDrives drives;
    return drives;
}

}  // namespace vexa
