// SPDX-License-Identifier: GPL-3.0-or-later
#include "RawFixtures.h"

#include <exiv2/exiv2.hpp>

#include <fstream>
#include <sstream>
#include <stdexcept>

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

}  // namespace

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
