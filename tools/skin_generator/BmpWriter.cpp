// SPDX-License-Identifier: GPL-3.0-or-later
#include "BmpWriter.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

void PutU16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>((value >> 8) & 0xff));
}

void PutU32(QByteArray& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.append(static_cast<char>((value >> shift) & 0xff));
    }
}

int RowBytes(int width, int bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

void PutInfoHeader(QByteArray& out, int width, int height, int bitsPerPixel, uint32_t imageBytes,
                   uint32_t paletteSize) {
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(width));
    PutU32(out, static_cast<uint32_t>(height));
    PutU16(out, 1);
    PutU16(out, bitsPerPixel);
    PutU32(out, 0);  // no compression
    PutU32(out, imageBytes);
    PutU32(out, 2835);  // 72 dots per inch
    PutU32(out, 2835);
    PutU32(out, paletteSize);
    PutU32(out, 0);
}

void PutPaletteEntry(QByteArray& out, QRgb colour) {
    out.append(static_cast<char>(qBlue(colour)));
    out.append(static_cast<char>(qGreen(colour)));
    out.append(static_cast<char>(qRed(colour)));
    out.append('\0');
}

uint8_t GreyIndex(QRgb colour) {
    const int grey = qGray(colour);
    if (qRed(colour) == 0 && qGreen(colour) == 0 && qBlue(colour) == 0) {
        return 0;
    }
    // Index 0 is kept for pure black, which alone means "outside" in a mask.
    return static_cast<uint8_t>(std::clamp((grey + 8) / 17, 1, 15));
}

QByteArray PixelRows(const QImage& image, int bitsPerPixel) {
    const int width = image.width();
    const int rowBytes = RowBytes(width, bitsPerPixel);
    QByteArray pixels;
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes, '\0');
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb c = line[x];
            if (bitsPerPixel == 4) {
                const uint8_t index = GreyIndex(c);
                row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
            } else {
                const int at = x * (bitsPerPixel / 8);
                row[at] = static_cast<char>(qBlue(c));
                row[at + 1] = static_cast<char>(qGreen(c));
                row[at + 2] = static_cast<char>(qRed(c));
                if (bitsPerPixel == 32) {
                    row[at + 3] = static_cast<char>(0xff);
                }
            }
        }
        pixels.append(row);
    }
    return pixels;
}

// The most frequent opaque colours, at most 256, most frequent first.
QList<QRgb> FrequentColours(const QImage& image) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) >= 128) {
                ++counts[c | 0xff000000u];
            }
        }
    }
    std::vector<std::pair<int, QRgb>> ranked;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        ranked.emplace_back(it.value(), it.key());
    }
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QList<QRgb> palette{qRgb(0, 0, 0)};  // transparent pixels are written as index 0
    for (const auto& entry : ranked) {
        if (palette.size() == 256) {
            break;
        }
        if (!palette.contains(entry.second)) {
            palette.append(entry.second);
        }
    }
    return palette;
}

int NearestIndex(const QList<QRgb>& palette, QRgb colour) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < palette.size(); ++i) {
        const long dr = qRed(colour) - qRed(palette[i]);
        const long dg = qGreen(colour) - qGreen(palette[i]);
        const long db = qBlue(colour) - qBlue(palette[i]);
        const long distance = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

QByteArray EncodeBmp(const QImage& source, int bitsPerPixel) {
    if (source.isNull() || (bitsPerPixel != 4 && bitsPerPixel != 24 && bitsPerPixel != 32)) {
        return {};
    }
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const QByteArray pixels = PixelRows(image, bitsPerPixel);
    const uint32_t paletteSize = bitsPerPixel == 4 ? 16 : 0;
    const uint32_t offset = 14 + 40 + paletteSize * 4;

    QByteArray out;
    out.append("BM");
    PutU32(out, offset + static_cast<uint32_t>(pixels.size()));
    PutU32(out, 0);
    PutU32(out, offset);
    PutInfoHeader(out, image.width(), image.height(), bitsPerPixel,
                  static_cast<uint32_t>(pixels.size()), paletteSize);
    for (uint32_t i = 0; i < paletteSize; ++i) {
        const int grey = static_cast<int>(i) * 17;
        PutPaletteEntry(out, qRgb(grey, grey, grey));
    }
    out.append(pixels);
    return out;
}

QByteArray EncodeIcon8(const QImage& source) {
    if (source.isNull() || source.width() > 255 || source.height() > 255) {
        return {};
    }
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const QList<QRgb> palette = FrequentColours(image);

    QByteArray colours;
    QByteArray mask;
    const int colourRow = RowBytes(width, 8);
    const int maskRow = RowBytes(width, 1);
    QHash<QRgb, int> nearest;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        QByteArray bits(maskRow, '\0');
        for (int x = 0; x < width; ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) < 128) {
                bits[x / 8] = static_cast<char>(bits[x / 8] | (0x80 >> (x % 8)));
                continue;
            }
            const QRgb opaque = c | 0xff000000u;
            if (!nearest.contains(opaque)) {
                nearest.insert(opaque, NearestIndex(palette, opaque));
            }
            row[x] = static_cast<char>(nearest.value(opaque));
        }
        colours.append(row);
        mask.append(bits);
    }

    QByteArray dib;
    const auto dataBytes = static_cast<uint32_t>(colours.size() + mask.size());
    PutInfoHeader(dib, width, height * 2, 8, dataBytes, 256);
    for (int i = 0; i < 256; ++i) {
        PutPaletteEntry(dib, i < palette.size() ? palette[i] : qRgb(0, 0, 0));
    }
    dib.append(colours);
    dib.append(mask);

    QByteArray out;
    PutU16(out, 0);
    PutU16(out, 1);  // icon
    PutU16(out, 1);  // one image
    out.append(static_cast<char>(width));
    out.append(static_cast<char>(height));
    out.append('\0');  // 256 colours
    out.append('\0');
    PutU16(out, 1);
    PutU16(out, 8);
    PutU32(out, static_cast<uint32_t>(dib.size()));
    PutU32(out, 22);
    out.append(dib);
    return out;
}

bool WriteFileBytes(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}
