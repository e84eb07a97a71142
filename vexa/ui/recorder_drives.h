#pragma once
// The recorder drives as the Open Files dialog sees them: quillon's drive
// scan, file listing and close, or a stand-in.
#include <cstdint>

namespace vexa {

class RecorderDrives {
public:
    virtual ~RecorderDrives() = default;
    // Stops any stream and closes the open drive.
    virtual void CloseDrive() = 0;
    // Drive numbers and volume names, each followed by a blank; the caller
    // gives QUILLON_DRIVE_LIST_ROOM and QUILLON_VOLUME_LIST_ROOM bytes.
    virtual int DrivesVolumeNames(char* driveList, char* volumeList) = 0;
    // The drive's file names, each followed by ",", and one size per file;
    // the caller gives QUILLON_FILE_LIST_ROOM bytes and QUILLON_MAX_FILES sizes.
    virtual int FilesSizes(const char* drive, char* fileList, int64_t* sizes) = 0;
};

// Through libquillon.so (which prints its server messages on standard output).
class LibraryRecorderDrives final : public RecorderDrives {
public:
    void CloseDrive() override;
    int DrivesVolumeNames(char* driveList, char* volumeList) override;
    int FilesSizes(const char* drive, char* fileList, int64_t* sizes) override;
};

// No drives at all, and nothing printed: the display-less run.
class NoRecorderDrives final : public RecorderDrives {
public:
    void CloseDrive() override {}
    int DrivesVolumeNames(char* driveList, char* volumeList) override;
    int FilesSizes(const char* drive, char* fileList, int64_t* sizes) override;
};

}  // namespace vexa
