#pragma once

// The pictures of the PHP gallery's pages: the small signs of its bars and
// links, its buttons and the logo of its administration pages.

#include <memory>

#include "platform/graphics/TBitmap.h"

enum class TPhpPicture { Eye, Mail, Vote, Comment, VoteSubmit, Submit, Admin, Logo };

std::unique_ptr<TBitmap> DrawPhpPicture(TPhpPicture picture);
