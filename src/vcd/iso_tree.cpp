#include "vcd/iso_tree.h"

#include "platform/bytes.h"
#include "vcd/sector.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace tellavine::vcd {
namespace {

constexpr std::uint32_t kSectorBytes = kForm1DataSize;
constexpr std::uint32_t kDotRecordsLength = 2 * 48;

std::vector<std::string_view> splitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const auto slash = path.find('/');
        const auto part = path.substr(0, slash);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

// ISO 9660 order: by the name before the first dot, the shorter padded with spaces,
// then by the extension the same way; bytes compare unsigned. Plain byte order differs
// for names with characters below the dot, such as "IMG-1.JPG" and "IMG.JPG".
int comparePadded(std::string_view a, std::string_view b) {
    const std::size_t length = std::max(a.size(), b.size());
    for (std::size_t i = 0; i < length; ++i) {
        const auto x = static_cast<unsigned char>(i < a.size() ? a[i] : ' ');
        const auto y = static_cast<unsigned char>(i < b.size() ? b[i] : ' ');
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

bool nameLess(const IsoNode& a, const IsoNode& b) {
    const auto split = [](const IsoNode& node) {
        const std::string_view name = node.name;
        const auto dot = node.isDirectory ? std::string_view::npos : name.find('.');
        if (dot == std::string_view::npos) return std::pair{name, std::string_view{}};
        return std::pair{name.substr(0, dot), name.substr(dot + 1)};
    };
    const auto [aName, aExtension] = split(a);
    const auto [bName, bExtension] = split(b);
    if (const int order = comparePadded(aName, bName); order != 0) return order < 0;
    return comparePadded(aExtension, bExtension) < 0;
}

IsoNode* findChild(IsoNode& directory, std::string_view name) {
    for (auto& child : directory.children)
        if (child->name == name) return child.get();
    return nullptr;
}

IsoNode& insertChild(IsoNode& directory, std::unique_ptr<IsoNode> node) {
    node->parent = &directory;
    auto position = std::upper_bound(directory.children.begin(), directory.children.end(), node,
                                     [](const auto& a, const auto& b) { return nameLess(*a, *b); });
    return **directory.children.insert(position, std::move(node));
}

std::string identifierOf(const IsoNode& node) {
    if (node.isDirectory) return node.name;
    return node.name + ";" + std::to_string(node.version);
}

// Where each child's record starts in its directory, and the directory's byte size.
struct RecordPlacement {
    std::vector<std::uint32_t> offsets;
    std::uint32_t size = 0;
};

RecordPlacement placeRecords(const IsoNode& directory) {
    RecordPlacement placement;
    std::uint32_t position = kDotRecordsLength;
    for (const auto& child : directory.children) {
        const std::uint32_t length = directoryRecordLength(identifierOf(*child).size());
        // A record never crosses a sector boundary.
        if (position % kSectorBytes + length > kSectorBytes) position = (position / kSectorBytes + 1) * kSectorBytes;
        placement.offsets.push_back(position);
        position += length;
    }
    placement.size = (position + kSectorBytes - 1) / kSectorBytes * kSectorBytes;
    return placement;
}

void appendRecord(ByteWriter& out, std::string_view identifier, const IsoNode& node, const IsoNode& described,
                  bool withXa) {
    const std::size_t length = identifier.size();
    out.u8(static_cast<std::uint8_t>(directoryRecordLength(length) - (withXa ? 0 : 14)));
    out.u8(0);                   // extended attribute record length
    out.u32both(described.extent);
    out.u32both(described.size);
    const RecordingTime time;
    out.u8(static_cast<std::uint8_t>(time.year - 1900));
    out.u8(static_cast<std::uint8_t>(time.month));
    out.u8(static_cast<std::uint8_t>(time.day));
    out.u8(static_cast<std::uint8_t>(time.hour));
    out.u8(static_cast<std::uint8_t>(time.minute));
    out.u8(static_cast<std::uint8_t>(time.second));
    out.u8(0);                   // offset from GMT
    out.u8(described.isDirectory ? 2 : 0);
    out.u8(0);                   // file unit size
    out.u8(0);                   // interleave gap
    out.u16both(1);              // volume sequence number
    out.u8(static_cast<std::uint8_t>(length));
    out.bytes(identifier);
    if (length % 2 == 0) out.u8(0);
    if (!withXa) return;
    out.u16be(0);                // owner id
    out.u16be(0);                // group id
    out.u16be(node.xaAttributes);
    out.u8('X');
    out.u8('A');
    out.u8(node.xaFileNumber);
    out.fill(5);
}

void copyInto(std::span<std::uint8_t> buffer, std::size_t offset, const std::vector<std::uint8_t>& bytes) {
    if (offset + bytes.size() <= buffer.size()) std::memcpy(buffer.data() + offset, bytes.data(), bytes.size());
}

void sizeDirectories(IsoNode& directory) {
    directory.size = placeRecords(directory).size;
    for (auto& child : directory.children)
        if (child->isDirectory) sizeDirectories(*child);
}

std::uint32_t assignExtents(IsoNode& directory, std::uint32_t at) {
    directory.extent = at;
    at += directory.size / kSectorBytes;
    for (auto& child : directory.children)
        if (child->isDirectory) at = assignExtents(*child, at);
    return at;
}

void writeDirectory(const IsoNode& directory, std::uint32_t firstSector, std::span<std::uint8_t> buffer) {
    const std::size_t base = std::size_t{directory.extent - firstSector} * kSectorBytes;
    ByteWriter dots;
    const char self[1] = {0}, up[1] = {1};
    appendRecord(dots, std::string_view(self, 1), directory, directory, true);
    appendRecord(dots, std::string_view(up, 1), directory, directory.parent ? *directory.parent : directory, true);
    copyInto(buffer, base, dots.data());
    const auto placement = placeRecords(directory);
    for (std::size_t i = 0; i < directory.children.size(); ++i) {
        const IsoNode& child = *directory.children[i];
        ByteWriter record;
        appendRecord(record, identifierOf(child), child, child, true);
        copyInto(buffer, base + placement.offsets[i], record.data());
        if (child.isDirectory) writeDirectory(child, firstSector, buffer);
    }
}

}  // namespace

IsoTree::IsoTree() : root_(std::make_unique<IsoNode>()) {
    root_->isDirectory = true;
    root_->xaAttributes = kXaDirectoryAttributes;
}

std::uint32_t directoryRecordLength(std::size_t identifierLength) {
    return static_cast<std::uint32_t>(33 + identifierLength + 14 + (identifierLength % 2 == 0 ? 1 : 0));
}

IsoNode* makeDirectory(IsoTree& tree, std::string_view path) {
    const auto parts = splitPath(path);
    if (parts.empty()) return nullptr;
    IsoNode* directory = &tree.root();
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        directory = findChild(*directory, parts[i]);
        if (!directory || !directory->isDirectory) return nullptr;
    }
    if (IsoNode* existing = findChild(*directory, parts.back()))
        return existing->isDirectory ? existing : nullptr;
    auto node = std::make_unique<IsoNode>();
    node->isDirectory = true;
    node->name = std::string(parts.back());
    node->xaAttributes = kXaDirectoryAttributes;
    return &insertChild(*directory, std::move(node));
}

int addFileEntry(IsoTree& tree, std::string_view path, std::uint32_t extent, std::uint32_t size, bool form2,
                 std::uint8_t xaFileNumber) {
    const auto parts = splitPath(path);
    if (parts.empty()) return -1;
    IsoNode* directory = &tree.root();
    std::string walked;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        walked += "/";
        walked += parts[i];
        IsoNode* next = findChild(*directory, parts[i]);
        if (!next) next = makeDirectory(tree, walked);
        if (!next || !next->isDirectory) return -1;
        directory = next;
    }
    if (findChild(*directory, parts.back())) return -1;
    auto node = std::make_unique<IsoNode>();
    node->name = std::string(parts.back());
    node->version = 1;
    node->xaAttributes = form2 ? kXaForm2FileAttributes : kXaForm1FileAttributes;
    node->xaFileNumber = xaFileNumber;
    node->extent = extent;
    node->size = size;
    insertChild(*directory, std::move(node));
    return 0;
}

std::uint32_t layoutDirectories(IsoTree& tree, std::uint32_t firstSector) {
    sizeDirectories(tree.root());
    return assignExtents(tree.root(), firstSector) - firstSector;
}

void writeDirectories(const IsoTree& tree, std::uint32_t firstSector, std::span<std::uint8_t> buffer) {
    writeDirectory(tree.root(), firstSector, buffer);
}

std::optional<std::uint32_t> writePathTables(IsoTree& tree, std::span<std::uint8_t> lTable,
                                             std::span<std::uint8_t> mTable) {
    ByteWriter little, big;
    std::deque<IsoNode*> queue{&tree.root()};
    std::uint16_t number = 0;
    while (!queue.empty()) {
        IsoNode* directory = queue.front();
        queue.pop_front();
        directory->pathTableNumber = ++number;
        const std::uint16_t parentNumber = directory->parent ? directory->parent->pathTableNumber : 1;
        const std::string identifier = directory->parent ? directory->name : std::string(1, '\0');
        for (ByteWriter* table : {&little, &big}) {
            table->u8(static_cast<std::uint8_t>(identifier.size()));
            table->u8(0);
            if (table == &little) {
                table->u32le(directory->extent);
                table->u16le(parentNumber);
            } else {
                table->u32be(directory->extent);
                table->u16be(parentNumber);
            }
            table->bytes(identifier);
            if (identifier.size() % 2) table->u8(0);
        }
        for (auto& child : directory->children)
            if (child->isDirectory) queue.push_back(child.get());
    }
    if (little.size() > kSectorBytes || lTable.size() < little.size() || mTable.size() < big.size())
        return std::nullopt;
    std::memcpy(lTable.data(), little.data().data(), little.size());
    std::memcpy(mTable.data(), big.data().data(), big.size());
    return static_cast<std::uint32_t>(little.size());
}

std::vector<std::uint8_t> rootDirectoryRecord(const IsoNode& root) {
    ByteWriter record;
    const char self[1] = {0};
    appendRecord(record, std::string_view(self, 1), root, root, false);
    return record.take();
}

}  // namespace tellavine::vcd
