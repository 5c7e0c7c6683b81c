#include "builder/dialogs/MetaHeadText.h"

const std::string_view DefaultMetaHeadText =
    "\r\n"
    "<head>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\r\n"
    "<meta name=\"generator\" content=\"VESKO THUMBNAILS\">\r\n"
    "<meta name=\"keywords\" content=\"VThumbnails\">\r\n"
    "</head>\r\n";

std::string MetaHeadText{DefaultMetaHeadText};
