#pragma once

// The two registries that find the class of an extension block: by label, and
// for application blocks by their 11 identifier bytes. Both are searched from
// the last entry to the first, so a later registration overrides an earlier
// one. They hold the codec's own classes from their first use to the end of
// the program.

#include <cstdint>
#include <memory>

#include "gif/GIFExtension.h"

struct TGIFExtensionClass {
    const char* Name;
    std::uint8_t Label;
    std::unique_ptr<TGIFExtension> (*Create)(TGIFSubImage* subImage);
    // Given the stream just after the label, the class that should read the
    // block: this one, a more specific one, or nullptr for none. Null means
    // "this class".
    const TGIFExtensionClass* (*Refine)(TStream& stream);
};

void RegisterExtension(const TGIFExtensionClass& extensionClass);
void RegisterAppExtension(const TGIFApplicationIdentifier& identifier, const TGIFExtensionClass& extensionClass);
// Removes every entry of the class.
void UnregisterExtension(const TGIFExtensionClass& extensionClass);
void UnregisterAppExtension(const TGIFExtensionClass& extensionClass);

const TGIFExtensionClass* FindExtension(std::uint8_t label);
const TGIFExtensionClass* FindAppExtension(const TGIFApplicationIdentifier& identifier);

// The class for the block whose label the stream stands at: looked up by the
// label, then refined until a class answers with itself. The stream position
// is restored. nullptr when none is found.
const TGIFExtensionClass* FindExtensionClass(TStream& stream);
