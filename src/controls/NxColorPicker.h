#pragma once
// The color picker: a color edit whose button drops a palette; the preview box shows the color.

#include <vector>

#include "controls/NxButtonEdit.h"

namespace NxEdit {

// A grid of color swatches, PaletteColumns wide.
class TNxColorPopup : public TNxPopupControl {
public:
    explicit TNxColorPopup(TComponent* AOwner);
    static constexpr int PaletteColumns = 8;
    static constexpr int SwatchSize = 18;

    const std::vector<TColor>& GetColors() const { return FColors; }
    // The highlighted swatch, -1 for none.
    int GetSelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    // Highlights the swatch of Value, or none when the palette lacks it.
    void SelectColor(TColor Value);
    TColor GetSelectedColor() const;
    // Client coordinates.
    TRect GetSwatchRect(int Index) const;
    int SwatchAtPos(int X, int Y) const;

    TSize GetPopupSize(int EditWidth) const override;
    // The arrows move over the grid.
    bool NavigateKey(Word Key, TShiftState Shift) override;
    void Accept() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    std::vector<TColor> FColors;
    int FSelectedIndex = -1;
};

class TNxColorPicker : public TNxPopupEdit {
public:
    explicit TNxColorPicker(TComponent* AOwner);

    // The color of the text: an HTML color ("#RRGGBB" or a name), or "$BBGGRR" hex; clNone when
    // the text is neither.
    TColor GetSelected() const;
    void SetSelected(TColor Value);
    // Colors are written as "#RRGGBB" instead of "$00BBGGRR".
    bool GetWebColorFormat() const { return FWebColorFormat; }
    void SetWebColorFormat(bool Value);
    TNxColorPopup* GetColorPopup() { return static_cast<TNxColorPopup*>(GetPopup()); }

    void PaintPreview(TCanvas* Canvas, const TRect& Rect) override;

protected:
    TNxPopupControl* CreatePopupControl() override;
    void PreparePopup() override;
    void PopupPicked() override;
    void Change() override;

private:
    bool FWebColorFormat = false;
};

} // namespace NxEdit
