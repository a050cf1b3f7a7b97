#pragma once
// Helpers of the control set's tests: a shown form to place controls on, images of what a
// window shows, and plain RGB pixels.

#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>

#include "platform/windows/TestSupport.h"

namespace ControlsTest {

inline TColor Hex(uint32_t rrggbb) {
    return RGB(uint8_t(rrggbb >> 16), uint8_t(rrggbb >> 8), uint8_t(rrggbb));
}

// What the window of a control shows now, children included.
inline QImage Shot(TWinControl* control) {
    Pump();
    return Frame(control)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline TColor Pixel(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

inline void SavePng(const QImage& image, const std::string& name) {
    ASSERT_TRUE(image.save(QString::fromStdString(OutDir() + "/" + name)));
}

// A form with a fixed font, shown before the test body runs.
struct FormTest : ::testing::Test {
    std::unique_ptr<TForm> form;
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(40, 40, 660, 320);
        form->GetFont()->SetName("DejaVu Sans");
        form->GetFont()->SetHeight(-11);
    }
    template <typename T> T* Add(TWinControl* parent, int l, int t, int w, int h) {
        auto* c = new T(form.get());
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
    template <typename T> T* Add(int l, int t, int w, int h) { return Add<T>(form.get(), l, t, w, h); }
    void Show() { ASSERT_TRUE(ShowAndWait(form.get())); }
};

} // namespace ControlsTest
