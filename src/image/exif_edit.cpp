// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/exif_edit.h"

#include <algorithm>
#include <cstring>

namespace brisklo {
namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kGpsPointerTag = 0x8825;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kTiffStart = 6;  // after "Exif\0\0"

// Reads and writes the TIFF structure in its own byte order, every access checked.
class Tiff {
  public:
    explicit Tiff(std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {
        m_little = bytes[kTiffStart] == 'I';
    }
    bool Fits(std::size_t at, std::size_t length) const {
        return at <= m_bytes.size() - kTiffStart && length <= m_bytes.size() - kTiffStart - at;
    }
    std::uint32_t Read(std::size_t at, int length) const {
        std::uint32_t value = 0;
        for (int i = 0; i < length; ++i) {
            const std::uint32_t byte = m_bytes[kTiffStart + at + static_cast<std::size_t>(i)];
            value |= m_little ? byte << (8 * i) : byte << (8 * (length - 1 - i));
        }
        return value;
    }
    void Write(std::size_t at, int length, std::uint32_t value) {
        for (int i = 0; i < length; ++i) {
            const int shift = m_little ? 8 * i : 8 * (length - 1 - i);
            m_bytes[kTiffStart + at + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(value >> shift);
        }
    }
    void Zero(std::size_t at, std::size_t length) {
        std::fill_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(kTiffStart + at), length, 0);
    }
    std::uint8_t* At(std::size_t at) { return m_bytes.data() + kTiffStart + at; }

  private:
    std::vector<std::uint8_t>& m_bytes;
    bool m_little = true;
};

// Bytes a value of this TIFF type takes, 0 for a type we do not know.
std::size_t TypeSize(std::uint32_t type) {
    switch (type) {
        case 1:
        case 2:
        case 6:
        case 7:
            return 1;  // BYTE, ASCII, SBYTE, UNDEFINED
        case 3:
        case 8:
            return 2;  // SHORT, SSHORT
        case 4:
        case 9:
        case 11:
            return 4;  // LONG, SLONG, FLOAT
        case 5:
        case 10:
        case 12:
            return 8;  // RATIONAL, SRATIONAL, DOUBLE
        default:
            return 0;
    }
}

// Overwrites the GPS directory at `at` and the values it points to with zeros.
bool EraseDirectory(Tiff& tiff, std::size_t at) {
    if (!tiff.Fits(at, 2)) return false;
    const std::size_t count = tiff.Read(at, 2);
    if (!tiff.Fits(at + 2, count * kEntrySize + 4)) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = at + 2 + i * kEntrySize;
        const std::size_t length = TypeSize(tiff.Read(entry + 2, 2)) * tiff.Read(entry + 4, 4);
        if (length > 4) {
            const std::size_t value = tiff.Read(entry + 8, 4);
            if (tiff.Fits(value, length)) tiff.Zero(value, length);
        }
    }
    tiff.Zero(at, 2 + count * kEntrySize + 4);
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> UprightExif(std::span<const std::uint8_t> app1,
                                                     bool keepLocation) {
    if (app1.size() < kTiffStart + 8 || std::memcmp(app1.data(), "Exif\0\0", 6) != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(app1.begin(), app1.end());
    const bool little = bytes[6] == 'I' && bytes[7] == 'I';
    if (!little && !(bytes[6] == 'M' && bytes[7] == 'M')) return std::nullopt;
    Tiff tiff(bytes);
    const std::size_t ifd = tiff.Read(4, 4);
    if (!tiff.Fits(ifd, 2)) return std::nullopt;
    std::size_t count = tiff.Read(ifd, 2);
    if (!tiff.Fits(ifd + 2, count * kEntrySize + 4)) return std::nullopt;

    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + i * kEntrySize;
        const std::uint32_t tag = tiff.Read(entry, 2);
        if (tag == kOrientationTag) {
            tiff.Write(entry + 8, 2, 1);  // a SHORT, held in the entry itself
        } else if (tag == kGpsPointerTag && !keepLocation) {
            if (!EraseDirectory(tiff, tiff.Read(entry + 8, 4))) return std::nullopt;
            // Take the pointer out: the later entries and the next-directory offset
            // move up by one entry, the freed last entry becomes zeros.
            const std::size_t tail = (count - i - 1) * kEntrySize + 4;
            std::memmove(tiff.At(entry), tiff.At(entry + kEntrySize), tail);
            tiff.Zero(entry + tail, kEntrySize);
            --count;
            tiff.Write(ifd, 2, static_cast<std::uint32_t>(count));
            --i;
        }
    }
    return bytes;
}

}  // namespace brisklo
