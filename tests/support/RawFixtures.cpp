// SPDX-License-Identifier: GPL-3.0-or-later
#include "RawFixtures.h"

#include <exiv2/exiv2.hpp>

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {

// The smallest little-endian TIFF: one IFD with the image width. `cr2` adds Canon's CR2 mark
// ("CR", version 2) after the header, where the image library looks for it.
std::string MinimalTiff(bool cr2) {
    std::string bytes("II*\0", 4);
    const char firstIfd = cr2 ? 16 : 8;
    bytes += std::string(1, firstIfd) + std::string(3, '\0');
    if (cr2) {
        bytes += std::string("CR\x02\0\0\0\0\0", 8);
    }
    bytes += std::string("\x01\0", 2);                               // one entry
    bytes += std::string("\x00\x01\x03\0\x01\0\0\0\x01\0\0\0", 12);  // ImageWidth 1
    bytes += std::string(4, '\0');                                   // no next IFD
    return bytes;
}

void PutLittle16(std::string& bytes, uint16_t value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>(value >> 8);
}

void PutLittle32(std::string& bytes, uint32_t value) {
    PutLittle16(bytes, static_cast<uint16_t>(value & 0xFFFF));
    PutLittle16(bytes, static_cast<uint16_t>(value >> 16));
}

void PutBig16(std::string& bytes, uint16_t value) {
    bytes += static_cast<char>(value >> 8);
    bytes += static_cast<char>(value & 0xFF);
}

void PutBig32(std::string& bytes, uint32_t value) {
    PutBig16(bytes, static_cast<uint16_t>(value >> 16));
    PutBig16(bytes, static_cast<uint16_t>(value & 0xFFFF));
}

// One ASCII entry of an IFD.
struct TiffText {
    uint16_t tag;
    std::string text;  // without its terminating zero
};

constexpr uint16_t kMake = 0x010F;
constexpr uint16_t kModel = 0x0110;
constexpr uint16_t kExifPointer = 0x8769;
constexpr uint16_t kDateTimeOriginal = 0x9003;
constexpr uint16_t kDateTimeDigitized = 0x9004;

// Writes the IFD `entries` (and, unless 0, a pointer to the Exif IFD at `exifOffset`) at the
// end of `bytes`, their texts into `data`, which will lie at `dataOffset`.
void PutIfd(std::string& bytes, std::vector<TiffText> entries, uint32_t exifOffset,
            uint32_t dataOffset, std::string& data) {
    std::sort(entries.begin(), entries.end(),
              [](const TiffText& a, const TiffText& b) { return a.tag < b.tag; });
    PutLittle16(bytes, static_cast<uint16_t>(entries.size() + (exifOffset != 0 ? 1 : 0)));
    for (const TiffText& entry : entries) {
        const std::string text = entry.text + '\0';
        PutLittle16(bytes, entry.tag);
        PutLittle16(bytes, 2);  // ASCII
        PutLittle32(bytes, static_cast<uint32_t>(text.size()));
        if (text.size() <= 4) {
            bytes += text + std::string(4 - text.size(), '\0');
            continue;
        }
        PutLittle32(bytes, dataOffset + static_cast<uint32_t>(data.size()));
        data += text + std::string(text.size() % 2, '\0');
    }
    if (exifOffset != 0) {  // the highest tag: last, as IFDs are sorted
        PutLittle16(bytes, kExifPointer);
        PutLittle16(bytes, 4);  // LONG
        PutLittle32(bytes, 1);
        PutLittle32(bytes, exifOffset);
    }
    PutLittle32(bytes, 0);  // no next IFD
}

uint32_t IfdSize(size_t entries) {
    return static_cast<uint32_t>(2 + 12 * entries + 4);
}

// A little-endian TIFF structure whose header carries `magic` (42 for TIFF) and puts IFD0 at
// `firstIfd`, the bytes between left zero. IFD0 holds `ifd0`, and, when `exif` is not empty, a
// pointer to an Exif IFD holding `exif`; the longer texts follow both IFDs.
std::string LittleEndianTiff(uint16_t magic, uint32_t firstIfd, const std::vector<TiffText>& ifd0,
                             const std::vector<TiffText>& exif) {
    std::string bytes("II", 2);
    PutLittle16(bytes, magic);
    PutLittle32(bytes, firstIfd);
    bytes.resize(firstIfd, '\0');
    const uint32_t exifOffset = exif.empty() ? 0 : firstIfd + IfdSize(ifd0.size() + 1);
    const uint32_t dataOffset =
        exif.empty() ? firstIfd + IfdSize(ifd0.size()) : exifOffset + IfdSize(exif.size());
    std::string data;
    PutIfd(bytes, ifd0, exifOffset, dataOffset, data);
    if (!exif.empty()) {
        PutIfd(bytes, exif, 0, dataOffset, data);
    }
    return bytes + data;
}

std::vector<TiffText> CameraIfd() {
    return {{kMake, "Fenrik test camera"}, {kModel, "Fixture 1"}};
}

std::vector<TiffText> CaptureIfd(const std::string& captured) {
    return {{kDateTimeOriginal, captured}, {kDateTimeDigitized, captured}};
}

// A small JPEG image whose first segment is the Exif APP1 holding `tiff`, as cameras embed
// them.
std::string JpegWithExifFirst(const std::string& tiff) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    const std::string plain = buffer.data().toStdString();
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    std::string jpeg("\xFF\xD8\xFF\xE1", 4);
    PutBig16(jpeg, static_cast<uint16_t>(payload.size() + 2));
    return jpeg + payload + plain.substr(2);
}

// The Fujifilm RAF container: its 84-byte header (magic, format version, camera id, camera
// name, directory version), then the offsets and lengths, big-endian, of the embedded JPEG, the
// CFA header and the CFA, and those parts.
std::string RafFile(const std::string& captured) {
    std::string header = "FUJIFILMCCD-RAW ";
    header += "0201";
    header += "FF383501";
    header += std::string("FinePix Fenrik") + std::string(32 - 14, '\0');
    header += "0100" + std::string(20, '\0');
    const std::string jpeg =
        JpegWithExifFirst(LittleEndianTiff(42, 8, CameraIfd(), CaptureIfd(captured)));
    std::string cfaHeader;  // one record: the raw image's height and width
    PutBig32(cfaHeader, 1);
    PutBig16(cfaHeader, 0x0100);
    PutBig16(cfaHeader, 4);
    PutBig16(cfaHeader, 16);
    PutBig16(cfaHeader, 16);
    const std::string cfa = LittleEndianTiff(42, 8, {{kMake, "FUJIFILM"}}, {});
    const uint32_t jpegOffset = 160;
    const uint32_t cfaHeaderOffset = jpegOffset + static_cast<uint32_t>(jpeg.size());
    const uint32_t cfaOffset = cfaHeaderOffset + static_cast<uint32_t>(cfaHeader.size());
    for (const size_t value : {size_t{jpegOffset}, jpeg.size(), size_t{cfaHeaderOffset},
                               cfaHeader.size(), size_t{cfaOffset}, cfa.size()}) {
        PutBig32(header, static_cast<uint32_t>(value));
    }
    header.resize(jpegOffset, '\0');
    return header + jpeg + cfaHeader + cfa;
}

// An ISO base media box: size, type, content.
std::string Box(const char* type, const std::string& content) {
    std::string box;
    PutBig32(box, static_cast<uint32_t>(8 + content.size()));
    return box + type + content;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace

const char* RawExtension(RawFormat format) {
    switch (format) {
        case RawFormat::Orf:
            return "ORF";
        case RawFormat::Rw2:
            return "RW2";
        case RawFormat::Raf:
            return "RAF";
    }
    return "";
}

void WriteRawFile(const std::string& path, RawFormat format, const std::string& captured) {
    switch (format) {
        case RawFormat::Orf:
            WriteBytes(path, LittleEndianTiff(0x4F52, 8, CameraIfd(), CaptureIfd(captured)));
            break;
        case RawFormat::Rw2:
            WriteBytes(path, LittleEndianTiff(0x0055, 24, CameraIfd(), CaptureIfd(captured)));
            break;
        case RawFormat::Raf:
            WriteBytes(path, RafFile(captured));
            break;
    }
}

void WriteCr3(const std::string& path, const std::string& captured) {
    std::string ftyp = "crx ";
    PutBig32(ftyp, 1);  // minor version
    ftyp += "crx isom";
    const std::string canonUuid("\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48",
                                16);
    const std::string canon = canonUuid + Box("CNCV", "CanonCR3_001/00.09.00/00.00.00") +
                              Box("CMT1", LittleEndianTiff(42, 8, CameraIfd(), {})) +
                              Box("CMT2", LittleEndianTiff(42, 8, CaptureIfd(captured), {}));
    WriteBytes(path, Box("ftyp", ftyp) + Box("moov", Box("uuid", canon)) + Box("mdat", ""));
}

void WriteTiffRaw(const std::string& path, const std::map<std::string, std::string>& tags,
                  bool cr2) {
    {
        std::ofstream out(path, std::ios::binary);
        const std::string bytes = MinimalTiff(cr2);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    Exiv2::ExifData exif = image->exifData();
    exif["Exif.Image.Make"] = "Fenrik test camera";
    for (const auto& [key, value] : tags) {
        exif[key] = value;
    }
    image->setExifData(exif);
    image->writeMetadata();
}

void WriteX3fStart(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    const char header[] = "FOVb\0\0\x02\0";
    out.write(header, sizeof header - 1);
    out << std::string(512, '\0');
}

std::map<std::string, std::string> ReadSidecar(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    Exiv2::XmpData xmp;
    if (Exiv2::XmpParser::decode(xmp, text.str()) != 0) {
        throw std::runtime_error("cannot parse " + path);
    }
    std::map<std::string, std::string> properties;
    for (const Exiv2::Xmpdatum& datum : xmp) {
        properties[datum.key()] = datum.toString();
    }
    return properties;
}

const char* DarktableSidecar() {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<x:xmpmeta xmlns:x="adobe:ns:meta/" x:xmptk="XMP Core 4.4.0-Exiv2">
 <rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
  <rdf:Description rdf:about=""
    xmlns:xmp="http://ns.adobe.com/xap/1.0/"
    xmlns:darktable="http://darktable.sf.net/"
    xmp:Rating="4"
    xmp:Label="Red"
    darktable:history_end="2">
   <darktable:history>
    <rdf:Seq>
     <rdf:li darktable:operation="exposure" darktable:enabled="1" darktable:params="0000803f"/>
     <rdf:li darktable:operation="colorin" darktable:enabled="1" darktable:params="gz48eJxjYBgFo2AU0AsAAAQQAAE="/>
    </rdf:Seq>
   </darktable:history>
  </rdf:Description>
 </rdf:RDF>
</x:xmpmeta>
)";
}
