#include "tests/support/standin_rig.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace qtest {

std::string DriveName(int n) { return "//./PHYSICALDRIVE" + std::to_string(n); }

std::string WriteTempFile(const std::vector<uint8_t>& bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "stanagXXXXXX").string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return {};
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t r = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (r <= 0) break;
        done += static_cast<std::size_t>(r);
    }
    ::close(fd);
    return done == bytes.size() ? pattern : std::string();
}

void StandinFixture::SetUp() {
    standin::Options options;
    options.first_handle = firstHandle;
    server = std::make_unique<standin::Server>(options);
    std::string error;
    ASSERT_TRUE(server->Start(&error)) << error;
    ::setenv("ORVANE_PORT_ParvellControl", std::to_string(server->Port()).c_str(), 1);
    ::setenv("ORVANE_HOST_ParvellControl", "127.0.0.1", 1);
}

void StandinFixture::TearDown() {
    server.reset();
    for (const auto& f : files) std::remove(f.c_str());
}

void StandinFixture::AddDevice(const std::string& device, const std::vector<uint8_t>& bytes, int32_t blockSize,
                               int refuseOpens) {
    std::string path = WriteTempFile(bytes);
    ASSERT_FALSE(path.empty());
    files.push_back(path);
    server->AddDevice({device, path, blockSize, refuseOpens});
}

StandinFixture::Built StandinFixture::AddImage(const std::string& device, const stanag_image::ImageSpec& spec) {
    Built built;
    std::string error;
    EXPECT_TRUE(stanag_image::BuildImage(spec, built.image, &error)) << error;
    EXPECT_TRUE(stanag_image::ComputeLayout(spec, built.layout, &error)) << error;
    AddDevice(device, built.image, static_cast<int32_t>(spec.block_size));
    return built;
}

std::vector<standin::LoggedRequest> StandinFixture::Log(int32_t command) const {
    std::vector<standin::LoggedRequest> out;
    for (const auto& r : server->Requests())
        if (command == 0 || r.command == command) out.push_back(r);
    return out;
}

std::vector<standin::LoggedRequest> StandinFixture::LogFrom(std::size_t from) const {
    auto all = server->Requests();
    if (from >= all.size()) return {};
    return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
}

void StandinFixture::ExpectNoViolations() const {
    for (const auto& v : server->Violations())
        ADD_FAILURE() << "violation at request " << v.request << ": " << standin::ViolationName(v.kind) << " "
                      << v.detail;
}

}  // namespace qtest
