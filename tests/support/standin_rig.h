#pragma once
// An in-process ingest stand-in on 127.0.0.1, with the service overrides
// pointing at it before the library's first call, and image files in
// mkstemp files removed at the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/ingest_standin.h"
#include "tools/stanag_image.h"

namespace qtest {

std::string DriveName(int n);  // "//./PHYSICALDRIVE<n>"

// Writes `bytes` to a fresh mkstemp file under the temporary directory.
std::string WriteTempFile(const std::vector<uint8_t>& bytes);

class StandinFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    struct Built {
        std::vector<uint8_t> image;
        stanag_image::Layout layout;
    };
    // Serves `bytes` (or the built image) as `device`.
    void AddDevice(const std::string& device, const std::vector<uint8_t>& bytes, int32_t blockSize = 512,
                   int refuseOpens = 0);
    Built AddImage(const std::string& device, const stanag_image::ImageSpec& spec);
    Built AddDrive(int n, const stanag_image::ImageSpec& spec) { return AddImage(DriveName(n), spec); }
    // A drive the server knows but never opens.
    void AddRefusedDrive(int n) { AddDevice(DriveName(n), std::vector<uint8_t>(512), 512, -1); }

    // The log, or only the requests of one command.
    std::vector<standin::LoggedRequest> Log(int32_t command = 0) const;
    // Requests logged after index `from`.
    std::vector<standin::LoggedRequest> LogFrom(std::size_t from) const;
    void ExpectNoViolations() const;

    std::unique_ptr<standin::Server> server;
    std::vector<std::string> files;
    int32_t firstHandle = 0;
};

}  // namespace qtest
