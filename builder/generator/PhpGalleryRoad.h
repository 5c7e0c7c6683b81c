#pragma once

// The PHP gallery's part of a web build: page inserts from the wizard's PHP
// switches and, at the end, the files copied from and written beside the
// templates of the program folder's "php_temps/".

#include "builder/pages/PhpGalleryParts.h"

class TPhpGalleryRoad : public TPhpGalleryParts {
public:
    TPhpInserts PageInserts(TForm1& wizard) override;
    void WriteFiles(TForm1& wizard, const std::string& folder) override;
};
