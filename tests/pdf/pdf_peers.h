#pragma once

// Running the PDF peers (qpdf, poppler-utils, mutool) on files the tests write.

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "pdf/PdfDoc.h"
#include "platform/core/TStream.h"
#include "tests/support/CommandOutput.h"

namespace pdftest {

using testsupport::TempFolder;

using testsupport::TCommandResult;

// Output holds standard output and standard error.
inline TCommandResult RunCommand(const std::string& command)
{
    return testsupport::RunShellCommand(command + " 2>&1");
}

inline bool HasPeers()
{
    return RunCommand("command -v qpdf && command -v pdfinfo && command -v pdfimages && command -v pdftoppm").Status == 0;
}

#define SKIP_WITHOUT_PEERS() \
    if (!pdftest::HasPeers()) GTEST_SKIP() << "qpdf or poppler-utils missing (Debian packages qpdf, poppler-utils)"

inline bool HasMutool() { return RunCommand("command -v mutool").Status == 0; }

#define SKIP_WITHOUT_MUTOOL() \
    if (!pdftest::HasMutool()) GTEST_SKIP() << "mutool missing (Debian package mupdf-tools)"

inline std::string Saved(TPdfDoc& doc)
{
    TMemoryStream stream;
    doc.SaveToStream(stream);
    return stream.Bytes();
}

inline std::string WriteTo(const std::string& path, TPdfDoc& doc)
{
    TFileStream file(path, fmCreate);
    doc.SaveToStream(file);
    return path;
}

// qpdf's verdict on a file: empty when it is clean (no warnings either).
inline std::string QpdfProblems(const std::string& path)
{
    const TCommandResult check = RunCommand("qpdf --check '" + path + "'");
    if (check.Status == 0 && check.Output.find("No syntax or stream encoding errors") != std::string::npos &&
        check.Output.find("WARNING") == std::string::npos)
        return {};
    return check.Output.empty() ? "qpdf gave no output" : check.Output;
}

inline std::string Written(const TPdfObject& object)
{
    TMemoryStream stream;
    object.Write(stream);
    return stream.Bytes();
}

inline std::string Value(const TPdfObject& object)
{
    TMemoryStream stream;
    object.WriteObjectValue(stream);
    return stream.Bytes();
}

}  // namespace pdftest
