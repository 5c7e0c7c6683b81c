#pragma once

// Image creators: a picture made into an image XObject for a document's
// resources. "Pdf-Bitmap" takes any picture a bitmap can take (indexed
// formats become an 8-bit indexed image, all others 24-bit RGB); "Pdf-Jpeg"
// keeps a JPEG's own bytes, with the colour space its component count asks for.

#include <memory>
#include <string>

#include "pdf/PdfTypes.h"
#include "platform/graphics/TGraphic.h"

class EPdfInvalidImageFormat : public Exception {
public:
    using Exception::Exception;
};

class TPdfImageCreator : public TObject {
public:
    // A new image that the caller owns; the base makes none.
    virtual std::unique_ptr<TPdfImage> MakeImage(const TGraphic& picture) { return nullptr; }
};

class TPdfBitmapImage : public TPdfImageCreator {
public:
    std::unique_ptr<TPdfImage> MakeImage(const TGraphic& picture) override;
};

class TPdfJpegImage : public TPdfImageCreator {
public:
    std::unique_ptr<TPdfImage> MakeImage(const TGraphic& picture) override;
    // The same image straight from a JPEG file's bytes, which are kept as they
    // are; EInvalidGraphic when they do not decode to their end (readers would
    // show a strip of the picture and report invalid data).
    static std::unique_ptr<TPdfImage> MakeImageFromBytes(std::string bytes);
};

// Enters "Pdf-Bitmap" and "Pdf-Jpeg" in the class registry (once) and takes them out.
void RegisterPdfImageCreators();
void UnRegisterPdfImageCreators();
