#include "gif/GIFExtensionRegistry.h"

#include <algorithm>
#include <vector>

#include "gif/GIFUtils.h"
#include "platform/core/TStream.h"

namespace {

template <class T>
std::unique_ptr<TGIFExtension> Make(TGIFSubImage* subImage)
{
    return std::make_unique<T>(subImage);
}

const TGIFExtensionClass* RefineApplication(TStream& stream);

struct TAppEntry {
    TGIFApplicationIdentifier Identifier;
    const TGIFExtensionClass* Class;
};

TGIFApplicationIdentifier Identifier(const char (&text)[12])
{
    TGIFApplicationIdentifier id;
    std::copy_n(text, 11, id.begin());
    return id;
}

std::vector<const TGIFExtensionClass*>& Labels()
{
    static std::vector<const TGIFExtensionClass*> labels = {
        &TGIFTextExtension::Class, &TGIFGraphicControlExtension::Class, &TGIFCommentExtension::Class,
        &TGIFApplicationExtension::Class};
    return labels;
}

std::vector<TAppEntry>& Applications()
{
    static std::vector<TAppEntry> applications = {
        {Identifier("NETSCAPE2.0"), &TGIFAppExtNSLoop::Class},
        {Identifier("ANIMEXTS1.0"), &TGIFAppExtNSLoop::Class}};
    return applications;
}

const TGIFExtensionClass* RefineApplication(TStream& stream)
{
    const int size = ReadByte(stream);
    TGIFApplicationIdentifier id{};
    if (size == 10) {
        if (stream.Read(id.data(), 10) != 10)
            return nullptr;
        return &TGIFUnknownAppExtension::Class;
    }
    if (size == 11) {
        if (stream.Read(id.data(), 11) != 11)
            return &TGIFUnknownAppExtension::Class;
        const TGIFExtensionClass* found = FindAppExtension(id);
        return found ? found : &TGIFUnknownAppExtension::Class;
    }
    return &TGIFApplicationExtension::Class;
}

} // namespace

const TGIFExtensionClass TGIFTextExtension::Class{"TGIFTextExtension", bsPlainTextExtension,
                                                  &Make<TGIFTextExtension>, nullptr};
const TGIFExtensionClass TGIFGraphicControlExtension::Class{
    "TGIFGraphicControlExtension", bsGraphicControlExtension, &Make<TGIFGraphicControlExtension>, nullptr};
const TGIFExtensionClass TGIFCommentExtension::Class{"TGIFCommentExtension", bsCommentExtension,
                                                     &Make<TGIFCommentExtension>, nullptr};
const TGIFExtensionClass TGIFApplicationExtension::Class{"TGIFApplicationExtension", bsApplicationExtension,
                                                         &Make<TGIFApplicationExtension>, &RefineApplication};
const TGIFExtensionClass TGIFUnknownAppExtension::Class{"TGIFUnknownAppExtension", bsApplicationExtension,
                                                        &Make<TGIFUnknownAppExtension>, nullptr};
// Never registered: the frame's list takes it for a label no class knows.
const TGIFExtensionClass TGIFUnknownExtension::Class{"TGIFUnknownExtension", 0, &Make<TGIFUnknownExtension>,
                                                     nullptr};
const TGIFExtensionClass TGIFAppExtNSLoop::Class{"TGIFAppExtNSLoop", bsApplicationExtension,
                                                 &Make<TGIFAppExtNSLoop>, nullptr};

void RegisterExtension(const TGIFExtensionClass& extensionClass)
{
    Labels().push_back(&extensionClass);
}

void RegisterAppExtension(const TGIFApplicationIdentifier& identifier, const TGIFExtensionClass& extensionClass)
{
    Applications().push_back({identifier, &extensionClass});
}

void UnregisterExtension(const TGIFExtensionClass& extensionClass)
{
    std::erase(Labels(), &extensionClass);
}

void UnregisterAppExtension(const TGIFExtensionClass& extensionClass)
{
    std::erase_if(Applications(), [&](const TAppEntry& e) { return e.Class == &extensionClass; });
}

const TGIFExtensionClass* FindExtension(std::uint8_t label)
{
    const auto& labels = Labels();
    for (auto it = labels.rbegin(); it != labels.rend(); ++it)
        if ((*it)->Label == label)
            return *it;
    return nullptr;
}

const TGIFExtensionClass* FindAppExtension(const TGIFApplicationIdentifier& identifier)
{
    const auto& applications = Applications();
    for (auto it = applications.rbegin(); it != applications.rend(); ++it)
        if (it->Identifier == identifier)
            return it->Class;
    return nullptr;
}

const TGIFExtensionClass* FindExtensionClass(TStream& stream)
{
    const std::int64_t position = stream.Position();
    const int label = ReadByte(stream);
    const TGIFExtensionClass* found = label < 0 ? nullptr : FindExtension(static_cast<std::uint8_t>(label));
    while (found && found->Refine) {
        const TGIFExtensionClass* refined = found->Refine(stream);
        if (refined == found)
            break;
        found = refined;
    }
    stream.SetPosition(position);
    return found;
}
