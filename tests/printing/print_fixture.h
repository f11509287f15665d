#pragma once
// A page-printing object that writes PDF files into a temporary folder at a fixed moment.

#include "pdf_reader.h"
#include "scripted_messages.h"

#include "clock.h"
#include "morva_print.h"
#include "print_sheet.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace quad::test {

class PrintTest : public ::testing::Test
{
protected:
    PrintTest()
    {
        Clock::install(&clock);
        printer->setPdfFolder(dir.path());
    }
    ~PrintTest() override { Clock::install(nullptr); }

    /// The PDF files written so far, with their paths.
    QStringList stampati() const
    {
        QStringList out;
        for (const QString& f : pdfFiles(dir.path()))
            out << dir.filePath(f);
        return out;
    }

    FixedClock clock {QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7))};
    QTemporaryDir dir;
    ScriptedMessages messages;
    OpenedFiles opened;
    std::shared_ptr<MorvaPrint> printer = std::make_shared<MorvaPrint>(MorvaPrint::Output::Pdf);
    PrintSheet sheet {printer};
};

} // namespace quad::test
