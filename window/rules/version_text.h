#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The text of the version box, read from the module's version resource.
namespace z5calc {

struct FileVersion {
    std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
};

// The fixed file version at the head of a version resource (VS_VERSIONINFO), or nothing when
// the bytes are no version resource.
std::optional<FileVersion> fixed_file_version(const void* data, std::size_t size) noexcept;

// "Ver." major "." minor "." revision, in decimal without leading zeros: 5.00.0226 gives
// "Ver.5.0.226". The build number is not part of it.
std::wstring version_message(const FileVersion& version);

}  // namespace z5calc
