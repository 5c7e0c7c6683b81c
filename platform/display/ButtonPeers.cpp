// Push buttons (with glyphs for bitmap buttons), check boxes, radio buttons and
// static texts. The widgets never change their own state: a click goes to the
// model, whose Checked or Click comes back as a notice. A push button looks
// pressed while the left button is held on it.

#include <memory>
#include <vector>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TLabel.h"
#include "platform/display/Peers.h"
#include "platform/display/TWidgetPeer.h"
#include "platform/display/Toolkit.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Round_Button.H>
#include <FL/fl_draw.H>

namespace {

class TButtonWidget : public TPeered<Fl_Button> {
public:
    TButtonWidget(TWidgetPeer& peer, TButton& button) : TPeered<Fl_Button>(peer, 0, 0, 1, 1), FButton(button) {}
    void draw() override
    {
        Fl_Button::draw();
        if (FButton.Default() && active_r()) {
            fl_color(fl_rgb_color(51, 153, 255));
            fl_rect(x() + 1, y() + 1, w() - 2, h() - 2);
        }
    }

private:
    TButton& FButton;
};

// A glyph as an image with its transparent colour left out: the bitmap's own
// (a fixed colour when one is set, else its bottom-left pixel).
std::unique_ptr<Fl_RGB_Image> GlyphImage(const TBitmap& glyph, int numGlyphs, std::vector<unsigned char>& pixels)
{
    if (glyph.Width() <= 0 || glyph.Height() <= 0) return nullptr;
    const int w = glyph.Width() / std::max(1, numGlyphs);
    const int h = glyph.Height();
    if (w <= 0) return nullptr;
    const TColor transparent = ColorToRGB(glyph.TransparentColor());
    pixels.assign(static_cast<std::size_t>(w) * h * 4, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const TColor c = glyph.Pixel(x, y);
            unsigned char* p = &pixels[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = GetRValue(c);
            p[1] = GetGValue(c);
            p[2] = GetBValue(c);
            p[3] = c == transparent ? 0 : 255;
        }
    return std::make_unique<Fl_RGB_Image>(pixels.data(), w, h, 4);
}

class TButtonPeer : public TWidgetPeer {
public:
    TButtonPeer(TButton& button) : TWidgetPeer(button), FButton(button) {}
    ~TButtonPeer() override
    {
        if (FWidget) FWidget->image(nullptr);
    }

    int Handle(int event) override
    {
        auto* button = static_cast<Fl_Button*>(FWidget.get());
        if (Fl::event_button() == FL_LEFT_MOUSE) {
            if (event == FL_PUSH) button->value(1);
            else if (event == FL_DRAG) button->value(Fl::event_inside(button) ? 1 : 0);
            else if (event == FL_RELEASE) button->value(0);
        }
        return TWidgetPeer::Handle(event);
    }

protected:
    void SyncText() override
    {
        TWidgetPeer::SyncText();
        auto* bitBtn = dynamic_cast<TBitBtn*>(&FButton);
        if (!bitBtn) return;
        FWidget->image(nullptr);
        FImage = GlyphImage(bitBtn->Glyph(), bitBtn->NumGlyphs(), FPixels);
        if (!FImage) return;
        FWidget->image(FImage.get());
        Fl_Align align = FL_ALIGN_IMAGE_NEXT_TO_TEXT;
        if (bitBtn->Layout() == blGlyphRight) align = FL_ALIGN_TEXT_NEXT_TO_IMAGE;
        else if (bitBtn->Layout() == blGlyphTop) align = FL_ALIGN_IMAGE_OVER_TEXT;
        else if (bitBtn->Layout() == blGlyphBottom) align = FL_ALIGN_TEXT_OVER_IMAGE;
        FWidget->align(align | FL_ALIGN_CENTER | FL_ALIGN_INSIDE);
    }
    void SyncColor() override
    {
        // Buttons keep the toolkit's face unless the colour was chosen.
        if (ColorToRGB(FButton.Color()) != ColorToRGB(clBtnFace)) TWidgetPeer::SyncColor();
    }

private:
    TButton& FButton;
    std::vector<unsigned char> FPixels;
    std::unique_ptr<Fl_RGB_Image> FImage;
};

template <class Base>
class TStateWidget : public TPeered<Base> {
public:
    explicit TStateWidget(TWidgetPeer& peer) : TPeered<Base>(peer, 0, 0, 1, 1)
    {
        this->box(FL_FLAT_BOX);
        this->down_box(std::is_same_v<Base, Fl_Round_Button> ? FL_ROUND_DOWN_BOX : FL_DOWN_BOX);
        this->selection_color(FL_BLACK);
    }
};

class TCheckBoxPeer : public TWidgetPeer {
public:
    TCheckBoxPeer(TCheckBox& box) : TWidgetPeer(box), FBox(box) {}

protected:
    void SyncValue() override
    {
        auto* w = static_cast<Fl_Button*>(FWidget.get());
        w->value(FBox.State() != cbUnchecked ? 1 : 0);
        w->selection_color(FBox.State() == cbGrayed ? FL_DARK2 : FL_BLACK);
    }

private:
    TCheckBox& FBox;
};

class TRadioButtonPeer : public TWidgetPeer {
public:
    TRadioButtonPeer(TRadioButton& button) : TWidgetPeer(button), FButton(button) {}

protected:
    void SyncValue() override { static_cast<Fl_Button*>(FWidget.get())->value(FButton.Checked() ? 1 : 0); }

private:
    TRadioButton& FButton;
};

class TStaticTextPeer : public TWidgetPeer {
public:
    TStaticTextPeer(TStaticText& text) : TWidgetPeer(text), FText(text) {}

protected:
    void SyncText() override
    {
        TWidgetPeer::SyncText();
        Fl_Align align = FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_CLIP | FL_ALIGN_WRAP;
        if (FText.Alignment() == taRightJustify) align |= FL_ALIGN_RIGHT;
        else if (FText.Alignment() != taCenter) align |= FL_ALIGN_LEFT;
        FWidget->align(align);
    }

private:
    TStaticText& FText;
};

}  // namespace

std::unique_ptr<TControlPeer> MakeButtonPeer(TButton& button)
{
    auto peer = std::make_unique<TButtonPeer>(button);
    auto widget = Toolkit::Make<TButtonWidget>(*peer, button);
    peer->Start(std::move(widget));
    return peer;
}

std::unique_ptr<TControlPeer> MakeCheckBoxPeer(TCheckBox& box)
{
    auto peer = std::make_unique<TCheckBoxPeer>(box);
    peer->Start(Toolkit::Make<TStateWidget<Fl_Check_Button>>(*peer));
    return peer;
}

std::unique_ptr<TControlPeer> MakeRadioButtonPeer(TRadioButton& button)
{
    auto peer = std::make_unique<TRadioButtonPeer>(button);
    peer->Start(Toolkit::Make<TStateWidget<Fl_Round_Button>>(*peer));
    return peer;
}

std::unique_ptr<TControlPeer> MakeStaticTextPeer(TStaticText& text)
{
    auto peer = std::make_unique<TStaticTextPeer>(text);
    auto widget = Toolkit::Make<TPeered<Fl_Box>>(*peer, 0, 0, 1, 1);
    widget->box(FL_FLAT_BOX);
    peer->Start(std::move(widget));
    return peer;
}
