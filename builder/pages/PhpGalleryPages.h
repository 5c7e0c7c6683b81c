#pragma once

// The texts a PHP gallery adds to its pages and the files it writes beside
// them. Template texts are read from the template folder when they are used,
// so a missing template ends the build at the page that needs it.

#include <string>
#include <string_view>
#include <vector>

#include "builder/pages/PageFile.h"

struct TPhpOptions {
    bool ViewCount = false;
    bool Voting = false;
    bool PictureComments = false;
    bool MailPicture = false;
    bool ChartViews = false;
    bool ChartVotes = false;
    bool GalleryComments = false;
};

// The first bytes of every PHP page: the pages are Windows-1252, which PHP
// would otherwise call UTF-8, and only a header sent before any output holds
// on every server.
std::string_view PhpPageStart();

// The template `name` of `templates` (ending with "/") as lines, each ended
// by CR LF; raises EFOpenError when it is missing.
std::string PhpTemplateText(const std::string& templates, const std::string& name);

// "" without php; otherwise the function templates the switches ask for.
std::string BuildPhpFunctions(const std::string& templates, bool php, bool viewCount, bool voting,
                              bool pictureComments, bool mailPicture);
std::string LoadFullPictureScript(const std::string& templates);

std::string PhpChartLinks(const TPhpOptions& options);
std::vector<TPageFile> PhpChartPages(const TPhpOptions& options, const std::string& templates,
                                     const std::string& indexHead);
// `extension` is the page extension, `newWindowTarget` " target=_blank" or "".
std::string PhpCellBar(const TPhpOptions& options, int pictureNumber, bool gif, const std::string& extension,
                       const std::string& newWindowTarget);
std::string PhpGalleryPageEnd(const TPhpOptions& options, const std::string& templates, int pageNumber);
std::string PhpFullPageScript(const std::string& templates, int pictureNumber);
std::string PhpFullPageFeatures(const TPhpOptions& options, const std::string& templates, int pictureNumber,
                                bool gif);

// `text` as it may stand in a page's HTML: PHP reads none of it as code, and
// the browser gets it byte for byte. A text without "<?" is itself.
std::string PhpInlineText(std::string_view text);
// The heading as it may stand inside a double-quoted PHP string.
std::string PhpStringEscaped(const std::string& text);
std::string MailPictureSendText(const std::string& templateText, const std::string& galleryHeading);
// "mailpicture.php" and "mailpicturesend.php": the picture mail's form and the
// page that sends it, or, without the picture mail, "switchedoff.sc" in
// the place of both.
std::vector<TPageFile> PhpMailPages(const TPhpOptions& options, const std::string& templates,
                                    const std::string& galleryHeading);
std::string PasswordFileText(const std::string& password, const std::string& email);
// A picture's counter file as the builder first writes it.
std::string_view FreshCounterFileText();

// The files copied byte for byte from the template folder, as (source, target).
struct TPhpCopy {
    const char* Source;
    const char* Target;
};
extern const std::vector<TPhpCopy> PhpByteCopies;
