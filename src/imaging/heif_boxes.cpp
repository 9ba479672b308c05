#include "imaging/heif_boxes.h"

#include "imaging/hevc_parameter_sets.h"
#include "platform/bytes.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace tellavine {
namespace {

struct Box {
    char type[4];
    std::span<const std::uint8_t> body;
};

std::uint64_t bigEndian(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::uint8_t byte : bytes) value = value << 8 | byte;
    return value;
}

// The box starting at `at` inside `within`, nothing when its header does not fit or
// its size runs past the end (a cut file). Size 0 means "to the end".
std::optional<Box> boxAt(std::span<const std::uint8_t> within, std::size_t at) {
    if (within.size() < 8 || at > within.size() - 8) return std::nullopt;
    std::uint64_t size = bigEndian(within.subspan(at, 4));
    std::size_t header = 8;
    if (size == 1) {
        if (within.size() < 16 || at > within.size() - 16) return std::nullopt;
        size = bigEndian(within.subspan(at + 8, 8));
        header = 16;
    } else if (size == 0) {
        size = within.size() - at;
    }
    if (size < header || size > within.size() - at) return std::nullopt;
    Box box;
    std::memcpy(box.type, within.data() + at + 4, 4);
    box.body = within.subspan(at + header, static_cast<std::size_t>(size) - header);
    return box;
}

// The first child of type `type` among the boxes that fill `within`.
std::optional<Box> child(std::span<const std::uint8_t> within, const char* type) {
    for (std::size_t at = 0; auto box = boxAt(within, at);) {
        if (std::memcmp(box->type, type, 4) == 0) return box;
        at = static_cast<std::size_t>(box->body.data() + box->body.size() - within.data());
    }
    return std::nullopt;
}

bool isType(const Box& box, const char* type) { return std::memcmp(box.type, type, 4) == 0; }

// Every box that fills `within`, in order.
std::vector<Box> children(std::span<const std::uint8_t> within) {
    std::vector<Box> boxes;
    for (std::size_t at = 0; auto box = boxAt(within, at);) {
        boxes.push_back(*box);
        at = static_cast<std::size_t>(box->body.data() + box->body.size() - within.data());
    }
    return boxes;
}

// Where an item's bytes are: in the file ("construction method" 0) or in the "idat" box (1).
// Offsets already include the base offset.
struct ItemLocation {
    unsigned constructionMethod = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> extents;  // offset, length
};

// What the "meta" box says about its items, as far as the size check needs it.
struct MetaItems {
    std::vector<Box> properties;                             // "ipco"; property index 1 is the first
    std::map<std::uint32_t, std::vector<unsigned>> itemProperties;  // "ipma": 1-based indexes
    std::map<std::uint32_t, std::string> itemTypes;          // "infe" version 2 and 3
    std::map<std::uint32_t, ItemLocation> itemLocations;     // "iloc"
    std::span<const std::uint8_t> itemData;                  // from the start of "idat" on
};

// An iloc field of 0, 4 or 8 bytes; nothing for other sizes.
std::optional<std::uint64_t> sizedField(ByteReader& reader, unsigned size) {
    if (size == 0) return 0;
    if (size == 4) return reader.u32be();
    if (size == 8) {
        const std::uint64_t high = reader.u32be();
        return high << 32 | reader.u32be();
    }
    return std::nullopt;
}

void readItemProperties(std::span<const std::uint8_t> ipma, MetaItems& items) {
    ByteReader reader(ipma);
    const std::uint32_t versionAndFlags = reader.u32be();
    const bool longItemIds = versionAndFlags >> 24 >= 1;
    const bool longIndexes = (versionAndFlags & 1) != 0;
    const std::uint32_t entryCount = reader.u32be();
    for (std::uint32_t entry = 0; entry < entryCount && !reader.failed(); ++entry) {
        const std::uint32_t item = longItemIds ? reader.u32be() : reader.u16be();
        const unsigned associationCount = reader.u8();
        for (unsigned i = 0; i < associationCount && !reader.failed(); ++i) {
            // The top bit says "essential"; the rest is the property index.
            const unsigned index = longIndexes ? reader.u16be() & 0x7fffu : reader.u8() & 0x7fu;
            if (!reader.failed()) items.itemProperties[item].push_back(index);
        }
    }
}

void readItemTypes(std::span<const std::uint8_t> iinf, MetaItems& items) {
    ByteReader reader(iinf);
    const unsigned version = reader.u8();
    reader.skip(3);                           // flags
    reader.skip(version == 0 ? 2 : 4);        // entry count: the boxes that follow say it too
    if (reader.failed()) return;
    for (const Box& infe : children(iinf.subspan(reader.position()))) {
        if (!isType(infe, "infe")) continue;
        ByteReader entry(infe.body);
        const unsigned infeVersion = entry.u8();
        if (infeVersion < 2) continue;         // no item type before version 2
        entry.skip(3);                         // flags
        const std::uint32_t item = infeVersion == 2 ? entry.u16be() : entry.u32be();
        entry.skip(2);                         // item_protection_index
        const auto type = entry.bytes(4);
        if (!entry.failed()) items.itemTypes[item] = std::string(type.begin(), type.end());
    }
}

void readItemLocations(std::span<const std::uint8_t> iloc, MetaItems& items) {
    ByteReader reader(iloc);
    const unsigned version = reader.u8();
    reader.skip(3);  // flags
    const unsigned sizes = reader.u8();
    const unsigned offsetSize = sizes >> 4, lengthSize = sizes & 0x0f;
    const unsigned moreSizes = reader.u8();
    const unsigned baseOffsetSize = moreSizes >> 4;
    const unsigned indexSize = version >= 1 ? moreSizes & 0x0f : 0;
    const std::uint32_t itemCount = version < 2 ? reader.u16be() : reader.u32be();
    for (std::uint32_t i = 0; i < itemCount && !reader.failed(); ++i) {
        const std::uint32_t item = version < 2 ? reader.u16be() : reader.u32be();
        ItemLocation location;
        if (version >= 1) location.constructionMethod = reader.u16be() & 0x0f;
        reader.skip(2);  // data_reference_index: 0 is this file
        const auto baseOffset = sizedField(reader, baseOffsetSize);
        const unsigned extentCount = reader.u16be();
        if (!baseOffset) return;
        for (unsigned e = 0; e < extentCount && !reader.failed(); ++e) {
            if (!sizedField(reader, indexSize)) return;
            const auto offset = sizedField(reader, offsetSize);
            const auto length = sizedField(reader, lengthSize);
            if (!offset || !length || *offset > UINT64_MAX - *baseOffset) return;
            location.extents.emplace_back(*baseOffset + *offset, *length);
        }
        if (!reader.failed()) items.itemLocations[item] = std::move(location);
    }
}

std::optional<MetaItems> readMetaItems(std::span<const std::uint8_t> file) {
    const auto meta = child(file, "meta");
    if (!meta || meta->body.size() < 4) return std::nullopt;
    const auto metaBoxes = meta->body.subspan(4);  // after the full box's version and flags
    MetaItems items;
    if (const auto iprp = child(metaBoxes, "iprp")) {
        if (const auto ipco = child(iprp->body, "ipco")) items.properties = children(ipco->body);
        for (const Box& box : children(iprp->body))
            if (isType(box, "ipma")) readItemProperties(box.body, items);
    }
    if (const auto iinf = child(metaBoxes, "iinf")) readItemTypes(iinf->body, items);
    if (const auto iloc = child(metaBoxes, "iloc")) readItemLocations(iloc->body, items);
    // libheif 1.15 reads idat items past the box's end (up to its header's size), so
    // what follows it is read here too: whatever libheif decodes is checked.
    if (const auto idat = child(metaBoxes, "idat"))
        items.itemData = file.subspan(static_cast<std::size_t>(idat->body.data() - file.data()));
    return items;
}

// The first `maxBytes` of the item's bytes, its extents joined; nothing when one starts
// outside the file (or idat). An extent running past the end is cut there: such a file
// is damaged, but its start is what a lenient reader would take. Extents may repeat the
// same bytes, hence the limit.
std::optional<std::vector<std::uint8_t>> itemBytes(const MetaItems& items, std::uint32_t item,
                                                   std::span<const std::uint8_t> file, std::size_t maxBytes) {
    const auto location = items.itemLocations.find(item);
    if (location == items.itemLocations.end() || location->second.constructionMethod > 1) return std::nullopt;
    const std::span<const std::uint8_t> source = location->second.constructionMethod == 0 ? file : items.itemData;
    std::vector<std::uint8_t> bytes;
    for (const auto& [offset, length] : location->second.extents) {
        if (offset > source.size()) return std::nullopt;
        const auto taken = std::min<std::uint64_t>({length, source.size() - offset, maxBytes - bytes.size()});
        const auto extent = source.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(taken));
        bytes.insert(bytes.end(), extent.begin(), extent.end());
    }
    return bytes;
}

// The indexes (1-based) of the properties of `type` associated with `item`.
std::vector<unsigned> itemPropertyIndexes(const MetaItems& items, std::uint32_t item, const char* type) {
    std::vector<unsigned> found;
    const auto associated = items.itemProperties.find(item);
    if (associated == items.itemProperties.end()) return found;
    for (unsigned index : associated->second)
        if (index >= 1 && index <= items.properties.size() && isType(items.properties[index - 1], type))
            found.push_back(index);
    return found;
}

std::optional<CodedPictureSize> ispeSize(const Box& ispe) {
    ByteReader reader(ispe.body);
    reader.skip(4);  // version and flags
    CodedPictureSize size;
    size.width = reader.u32be();
    size.height = reader.u32be();
    if (reader.failed()) return std::nullopt;
    return size;
}

// The largest width and the largest height among `sizes`.
std::optional<CodedPictureSize> largestOf(const std::vector<CodedPictureSize>& sizes) {
    std::optional<CodedPictureSize> largest;
    for (const CodedPictureSize& size : sizes) {
        if (!largest) largest = CodedPictureSize{};
        largest->width = std::max(largest->width, size.width);
        largest->height = std::max(largest->height, size.height);
    }
    return largest;
}

// The largest width and height that any "ispe" in the file declares.
std::optional<CodedPictureSize> largestDeclaredSize(const MetaItems& items) {
    std::vector<CodedPictureSize> declared;
    for (const Box& property : items.properties)
        if (isType(property, "ispe"))
            if (auto size = ispeSize(property)) declared.push_back(*size);
    return largestOf(declared);
}

// The size the item declares ("ispe"), or else `fallback`.
std::optional<CodedPictureSize> declaredSize(const MetaItems& items, std::uint32_t item,
                                             const std::optional<CodedPictureSize>& fallback) {
    for (const unsigned index : itemPropertyIndexes(items, item, "ispe"))
        if (auto size = ispeSize(items.properties[index - 1])) return size;
    return fallback;
}

// The canvas size ends within the first 20 bytes of a grid's or overlay's description.
constexpr std::size_t kCanvasDescriptionBytes = 20;

// The output size a "grid" or "iovl" item's data gives: 16-bit fields, or 32-bit ones
// when bit 0 of the flags is set. An overlay first gives four 16-bit fill values.
std::optional<CodedPictureSize> derivedCanvasSize(std::span<const std::uint8_t> data, bool overlay) {
    ByteReader reader(data);
    reader.skip(1);  // version
    const bool longFields = (reader.u8() & 1) != 0;
    reader.skip(overlay ? 8 : 2);  // fill colour, or rows and columns less one
    CodedPictureSize size;
    size.width = longFields ? reader.u32be() : reader.u16be();
    size.height = longFields ? reader.u32be() : reader.u16be();
    if (reader.failed()) return std::nullopt;
    return size;
}

// The sizes of the sequence parameter sets among an item's own NAL units, each after a
// length field of `lengthSize` bytes. Decoders take parameter sets from there too.
std::vector<CodedPictureSize> inBandSequencePictureSizes(std::span<const std::uint8_t> data, std::size_t lengthSize) {
    std::vector<CodedPictureSize> sizes;
    ByteReader reader(data);
    while (reader.remaining() > 0 && !reader.failed()) {
        std::size_t length = 0;
        for (std::size_t i = 0; i < lengthSize; ++i) length = length << 8 | reader.u8();
        const auto nalUnit = reader.bytes(length);
        if (reader.failed()) break;
        if (auto size = hevcSequencePictureSize(nalUnit)) sizes.push_back(*size);
    }
    return sizes;
}

// Coded pictures are whole coding blocks, so a stream may be this much larger than the
// picture it carries (the rest is cropped by its conformance window).
constexpr std::uint32_t kCodingBlockPadding = 64;

// Whether `coded` fits in `declared` (plus `padding` each way), standing either way:
// libheif 1.15 writes the "ispe" of a rotated picture turned as it is shown, so the
// coded width meets the declared height. Either way the coded area stays that of the
// declared picture.
bool fitsWithin(const CodedPictureSize& coded, const CodedPictureSize& declared, std::uint32_t padding) {
    const std::uint64_t width = std::uint64_t{declared.width} + padding;
    const std::uint64_t height = std::uint64_t{declared.height} + padding;
    return (coded.width <= width && coded.height <= height) || (coded.width <= height && coded.height <= width);
}

std::string sizeText(const CodedPictureSize& size) {
    return std::to_string(size.width) + " x " + std::to_string(size.height);
}

std::string largerThanDeclared(const char* what, const CodedPictureSize& coded, const CodedPictureSize& declared) {
    return std::string(what) + " size " + sizeText(coded) + " is larger than the declared picture size " +
           sizeText(declared);
}

}  // namespace

bool heifHasRotationOrMirror(std::span<const std::uint8_t> file) {
    const auto meta = child(file, "meta");
    if (!meta || meta->body.size() < 4) return false;
    const auto iprp = child(meta->body.subspan(4), "iprp");  // after the full box's version and flags
    if (!iprp) return false;
    const auto ipco = child(iprp->body, "ipco");
    if (!ipco) return false;
    return child(ipco->body, "irot").has_value() || child(ipco->body, "imir").has_value();
}


std::optional<std::string> heifCodedPictureLargerThanDeclared(std::span<const std::uint8_t> file) {
    const auto items = readMetaItems(file);
    if (!items) return std::nullopt;
    const auto largestDeclared = largestDeclaredSize(*items);
    // Items may all point at the same bytes; reading more than the file's worth of them
    // would let a small file cost time in proportion to its item count.
    std::size_t bytesLeftToScan = file.size();
    std::map<unsigned, std::optional<CodedPictureSize>> configuredSizes;  // by hvcC property index
    for (const auto& [item, type] : items->itemTypes) {
        const bool derived = type == "grid" || type == "iovl";
        if (!derived && type != "hvc1") continue;
        const auto declared = declaredSize(*items, item, largestDeclared);
        if (!declared) continue;
        if (derived) {
            const auto data = itemBytes(*items, item, file, kCanvasDescriptionBytes);
            const auto canvas = data ? derivedCanvasSize(*data, type == "iovl") : std::nullopt;
            if (canvas && !fitsWithin(*canvas, *declared, 0))
                return largerThanDeclared(type == "grid" ? "the tile grid" : "the overlay canvas", *canvas, *declared);
            continue;
        }
        const auto data = itemBytes(*items, item, file, bytesLeftToScan);
        if (data) bytesLeftToScan -= data->size();
        std::vector<CodedPictureSize> coded;
        std::optional<std::size_t> lengthSize;
        for (const unsigned index : itemPropertyIndexes(*items, item, "hvcC")) {
            const auto configuration = items->properties[index - 1].body;
            // Many items may share one configuration: each is read once.
            auto configured = configuredSizes.find(index);
            if (configured == configuredSizes.end())
                configured =
                    configuredSizes.emplace(index, largestOf(hevcConfigurationPictureSizes(configuration))).first;
            if (configured->second) coded.push_back(*configured->second);
            if (!lengthSize) lengthSize = hevcNalLengthSize(configuration);
        }
        if (lengthSize && data) {
            const auto inBand = inBandSequencePictureSizes(*data, *lengthSize);
            coded.insert(coded.end(), inBand.begin(), inBand.end());
        }
        for (const CodedPictureSize& size : coded)
            if (!fitsWithin(size, *declared, kCodingBlockPadding))
                return largerThanDeclared("the coded stream", size, *declared);
    }
    return std::nullopt;
}

}  // namespace tellavine
