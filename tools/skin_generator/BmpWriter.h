// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes Windows BMP and ICO files at the colour depths the skin needs, including those that
// Qt's own writers do not produce (4 bits per pixel, 32 bits, 8-bit icons).

#include <QByteArray>
#include <QImage>
#include <QString>

// An uncompressed bottom-up BMP of `image` at 4, 24 or 32 bits per pixel. At 4 bits the
// palette holds sixteen greys from black (index 0) to white and each pixel takes the grey
// nearest to its luminance, so pure black stays pure black. At 32 bits the fourth byte is
// 255. Other depths and null images give an empty array.
QByteArray EncodeBmp(const QImage& image, int bitsPerPixel);

// An icon file holding `image` as its only entry at 8 bits per pixel: a palette of the (at most
// 256) most frequent opaque colours, each pixel mapped to its nearest palette colour, and a
// transparency mask from alpha (below 128 is transparent). Images wider or higher than 255
// pixels give an empty array.
QByteArray EncodeIcon8(const QImage& image);

// Writes `data` to `path`, replacing the file. False when it cannot be written.
bool WriteFileBytes(const QString& path, const QByteArray& data);
