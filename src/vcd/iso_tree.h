#pragma once
// The directory tree of the ISO 9660/XA file system and the byte layouts of its
// directory records and path tables.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tellavine::vcd {

// XA attribute bits of a directory record's system-use field.
enum XaAttribute : std::uint16_t {
    kXaOwnerRead = 0x0001,
    kXaOwnerExecute = 0x0004,
    kXaGroupRead = 0x0010,
    kXaGroupExecute = 0x0040,
    kXaWorldRead = 0x0100,
    kXaWorldExecute = 0x0400,
    kXaForm1 = 0x0800,
    kXaForm2 = 0x1000,
    kXaDirectory = 0x8000,
};
// The longest folder or file name, in bytes: a directory record's length must fit one
// byte with the name, its ";1" version and the XA field.
constexpr std::size_t kLongestName = 205;

constexpr std::uint16_t kXaDirectoryAttributes = 0x8D55;
constexpr std::uint16_t kXaForm1FileAttributes = 0x0D55;
constexpr std::uint16_t kXaForm2FileAttributes = 0x1555;

struct IsoNode {
    bool isDirectory = false;
    std::string name;  // files without ";1"
    std::uint16_t version = 0;
    std::uint16_t xaAttributes = 0;
    std::uint8_t xaFileNumber = 0;
    std::uint32_t extent = 0;
    std::uint32_t size = 0;
    std::uint16_t pathTableNumber = 0;  // directories, set by writePathTables
    IsoNode* parent = nullptr;
    std::vector<std::unique_ptr<IsoNode>> children;  // sorted by name, byte-wise
};

class IsoTree {
public:
    IsoTree();
    IsoNode& root() { return *root_; }
    const IsoNode& root() const { return *root_; }

private:
    std::unique_ptr<IsoNode> root_;
};

// The fixed recording instant of every time field: 1978-07-14 00:00:00 UTC.
struct RecordingTime {
    int year = 1978, month = 7, day = 14, hour = 0, minute = 0, second = 0;
};

// Adds the directory named by the last component of `path` ("/" between components,
// empty ones skipped) below the existing directories of the other components. An
// existing directory of that name is kept. Null when a parent is missing or a file.
IsoNode* makeDirectory(IsoTree& tree, std::string_view path);

// 0, or -1 when the name already exists in its directory or a component names a file.
int addFileEntry(IsoTree& tree, std::string_view path, std::uint32_t extent, std::uint32_t size, bool form2,
                 std::uint8_t xaFileNumber);

// Sizes every directory and gives them their extents depth first from `firstSector`.
// Returns the total number of directory sectors.
std::uint32_t layoutDirectories(IsoTree& tree, std::uint32_t firstSector);

// Writes every directory into `buffer`, whose first byte is the start of `firstSector`.
void writeDirectories(const IsoTree& tree, std::uint32_t firstSector, std::span<std::uint8_t> buffer);

// Writes the L (little-endian) and M (big-endian) path tables, 2048 bytes each, and
// numbers the directories. Returns the table size in bytes, or nothing when the records
// do not fit one sector.
std::optional<std::uint32_t> writePathTables(IsoTree& tree, std::span<std::uint8_t> lTable,
                                             std::span<std::uint8_t> mTable);

// The "." record of `directory` without the XA field (34 bytes), for the volume descriptor.
std::vector<std::uint8_t> rootDirectoryRecord(const IsoNode& root);

// Length of a directory record for an identifier of `identifierLength` bytes.
std::uint32_t directoryRecordLength(std::size_t identifierLength);

}  // namespace tellavine::vcd
