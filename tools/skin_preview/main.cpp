// SPDX-License-Identifier: GPL-3.0-or-later
// Composes previews of the skin from the built-in resources, with the real controls:
//     fenrik_skin_preview <output folder>
// writes window.png (the main window as a user sees it, on a desktop colour), window-x3.png
// (the same, three times enlarged), window-lit-x3.png (the GPX file button lit, the start button
// and the first check held down, hot folder 3 off and the device field disabled) and
// states-x4.png (every button image in its normal, pressed
// and lit state, the eight spinner frames and the icon, four times enlarged).

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <cstdio>
#include <memory>
#include <vector>

#include "controls/CActiveButton.h"
#include "controls/CSpinner.h"
#include "controls/CTextfield.h"
#include "resources/MainWindowLayout.h"
#include "resources/SkinResources.h"

namespace {

const QColor kDesktop(0x6a, 0x7f, 0x94);

// Sample texts for the fields, by control id, and whether the field is enabled.
struct SampleText {
    int id;
    const char* text;
    bool enabled;
};
const SampleText kSamples[] = {
    {107, "/home/anna/Pictures/Camera", true},
    {108, "/home/anna/Pictures/2024/Lofoten trip with the family and friends/Day 3 - Reine", true},
    {109, "/media/anna/SD-CARD/DCIM/100CANON", false},
    {110, "", false},
    {116, "/home/anna/GPS/2024-06-01 Lofoten.gpx", true},
    {117, "Tagging...", true},
};

class BackgroundWidget : public QWidget {
public:
    BackgroundWidget() { setFixedSize(kMainWindowWidth, kMainWindowHeight); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, LoadSkinBitmap(129)); }
};

void AddControls(QWidget& window, std::vector<std::unique_ptr<QWidget>>& owned) {
    for (const auto& spot : MainWindowLayout()) {
        if (spot.kind == WindowControlKind::Button || spot.kind == WindowControlKind::Check) {
            auto button = std::make_unique<CActiveButton>();
            button->Create("", spot.rect, &window, spot.id);
            button->LoadBitmaps(spot.normal, spot.pressed, spot.focus, spot.disabled);
            owned.push_back(std::move(button));
        } else if (spot.kind == WindowControlKind::Field) {
            auto field = std::make_unique<CTextfield>();
            field->m_TextColor = QColor(spot.textColor);
            field->m_DisabledTextColor = QColor(spot.disabledTextColor);
            field->Create(spot.rect, &window, spot.id);
            field->SetBackground(spot.normal);
            for (const auto& sample : kSamples) {
                if (sample.id == spot.id) {
                    field->SetText(sample.text);
                    field->setEnabled(sample.enabled);
                }
            }
            owned.push_back(std::move(field));
        } else {
            auto spinner = std::make_unique<CSpinner>();
            spinner->Create(spot.rect, &window, spot.id);
            spinner->show();
            owned.push_back(std::move(spinner));
        }
    }
}

// Shows the lit and pressed states in place.
void LightSomeControls(std::vector<std::unique_ptr<QWidget>>& controls) {
    for (auto& control : controls) {
        if (auto* button = dynamic_cast<CActiveButton*>(control.get())) {
            if (button->Id() == 104) {
                button->setFocus();
            }
            button->setDown(button->Id() == 102 || button->Id() == 111);
        } else if (auto* field = dynamic_cast<CTextfield*>(control.get())) {
            field->setEnabled(field->Id() != 116 && field->Id() != 109);
        }
    }
}

// The window grab with the cut-away pixels of the mask showing the desktop.
QImage OnDesktop(const QImage& window) {
    const QImage mask = LoadSkinBitmap(130);
    QImage out(window.width() + 24, window.height() + 24, QImage::Format_RGB32);
    out.fill(kDesktop);
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            if (mask.pixel(x, y) != qRgb(0, 0, 0)) {
                out.setPixel(x + 12, y + 12, window.pixel(x, y));
            }
        }
    }
    return out;
}

QImage Enlarged(const QImage& image, int factor) {
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage StatesSheet() {
    std::vector<std::vector<QImage>> rows;
    for (const auto& spot : MainWindowLayout()) {
        if (spot.kind != WindowControlKind::Field && spot.kind != WindowControlKind::Spinner &&
            spot.id != 113 && spot.id != 114) {
            rows.push_back({LoadSkinBitmap(spot.normal), LoadSkinBitmap(spot.pressed),
                            LoadSkinBitmap(spot.focus)});
        }
    }
    const QImage strip = LoadSkinBitmap(163);
    std::vector<QImage> frames;
    for (int k = 0; k < CSpinner::kFrameCount; ++k) {
        frames.push_back(strip.copy(k * CSpinner::kFrameWidth, 0, CSpinner::kFrameWidth,
                                    CSpinner::kFrameHeight));
    }
    rows.push_back(frames);
    rows.push_back({LoadProgramIcon().pixmap(61, 61).toImage()});

    QImage sheet(420, 300, QImage::Format_RGB32);
    sheet.fill(kDesktop);
    QPainter p(&sheet);
    int y = 4;
    for (const auto& row : rows) {
        int x = 4, height = 0;
        for (const auto& image : row) {
            p.drawImage(x, y, image);
            x += image.width() + 6;
            height = std::max(height, image.height());
        }
        y += height + 4;
    }
    p.end();
    return Enlarged(sheet.copy(0, 0, 420, y), 4);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    BackgroundWidget window;
    std::vector<std::unique_ptr<QWidget>> controls;
    AddControls(window, controls);
    window.show();
    QApplication::processEvents();

    const QImage shot = OnDesktop(window.grab().toImage().convertToFormat(QImage::Format_RGB32));
    window.activateWindow();
    QApplication::processEvents();
    LightSomeControls(controls);
    QApplication::processEvents();
    const QImage lit = OnDesktop(window.grab().toImage().convertToFormat(QImage::Format_RGB32));

    const bool ok = shot.save(out.filePath(QStringLiteral("window.png"))) &&
                    Enlarged(lit, 3).save(out.filePath(QStringLiteral("window-lit-x3.png"))) &&
                    Enlarged(shot, 3).save(out.filePath(QStringLiteral("window-x3.png"))) &&
                    StatesSheet().save(out.filePath(QStringLiteral("states-x4.png")));
    std::printf("%s previews in %s\n", ok ? "wrote" : "FAILED to write", qPrintable(out.path()));
    controls.clear();
    return ok ? 0 : 1;
}
