#pragma once

// The picture editor's window. Its controls and its work come with the
// picture editor; until then the window exists from the start like every
// builder window and is never shown.

#include "platform/controls/TCustomForm.h"

class TForm17 : public TForm {
public:
    explicit TForm17(TComponent* AOwner);
    ~TForm17() override;
    const char* ClassName() const override { return "TForm17"; }
};

extern TForm17* PictureEditorForm;
