#include "platform/graphics/TMetafile.h"

#include <cstdio>
#include <span>

#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/MetafilePlayer.h"
#include "platform/graphics/TCanvas.h"

namespace {

std::span<const std::uint8_t> BytesOf(const std::string& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()};
}

}  // namespace

std::unique_ptr<TGraphic> TMetafile::Clone() const
{
    auto copy = std::make_unique<TMetafile>();
    copy->FData = FData;
    copy->FEnhanced = FEnhanced;
    copy->FWidth = FWidth;
    copy->FHeight = FHeight;
    return copy;
}

void TMetafile::SetWidth(int width)
{
    if (width == FWidth) return;
    FWidth = width;
    Changed();
}

void TMetafile::SetHeight(int height)
{
    if (height == FHeight) return;
    FHeight = height;
    Changed();
}

void TMetafile::LoadFromBytes(std::string bytes)
{
    const auto span = BytesOf(bytes);
    const TMetafileHeader header = IsEmf(span) ? ReadEmfHeader(span) : ReadWmfHeader(span);
    FData = std::move(bytes);
    FEnhanced = header.Enhanced;
    FWidth = header.Width;
    FHeight = header.Height;
    Changed();
}

void TMetafile::LoadFromStream(TStream& stream) { LoadFromBytes(stream.ReadRest()); }

void TMetafile::SaveToStream(TStream& stream) { stream.WriteString(FData); }

void TMetafile::Draw(TCanvas& canvas, const TRect& rect)
{
    if (Empty() || rect.IsEmpty()) return;
    const auto span = BytesOf(FData);
    const TPlaybackReport report = FEnhanced ? PlayEmf(span, canvas, rect) : PlayWmf(span, canvas, rect);
    FSkipped = report.Skipped;
    FSkippedSummary.clear();
    if (report.Skipped == 0) return;
    char line[64];
    std::snprintf(line, sizeof line, "%d of %d records not drawn:", report.Skipped, report.Records);
    FSkippedSummary = line;
    for (const auto& [type, count] : report.SkippedTypes) {
        std::snprintf(line, sizeof line, " %s0x%04X x%d", FEnhanced ? "EMR " : "META ", type, count);
        FSkippedSummary += line;
    }
}

bool TMetafile::AssignFrom(const TGraphic& source)
{
    const auto* other = dynamic_cast<const TMetafile*>(&source);
    if (!other) return false;
    FData = other->FData;
    FEnhanced = other->FEnhanced;
    FWidth = other->FWidth;
    FHeight = other->FHeight;
    Changed();
    return true;
}

bool TMetafile::AssignTo(TGraphic& dest) const { return AssignDrawnToBitmap(dest); }
