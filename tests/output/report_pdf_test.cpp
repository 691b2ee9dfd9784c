// The report's PDF reaches the disk whole, through a file no stranger can
// have planted a link under.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <string>

#include "output/report_pdf.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;

std::string Text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ReportPdf, PrintsPastAPlantedLinkAndAFailureKeepsTheOldPdf) {
    PrepareReportPrinting();
    int argc = 1;
    char name[] = "report_pdf_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const fs::path dir = fs::temp_directory_path() / ("vexel-pdf-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "report.htm") << "<html><body><h1>效果图</h1></body></html>";
    std::ofstream(dir / "victim.txt") << "keep";
    std::ofstream(dir / "report.pdf") << "old";
    fs::create_symlink(dir / "victim.txt", dir / "report.pdf.part");

    EXPECT_FALSE(PrintReportToPdf(dir / "missing.htm", dir / "report.pdf"));
    EXPECT_EQ(Text(dir / "report.pdf"), "old");
    ASSERT_TRUE(PrintReportToPdf(dir / "report.htm", dir / "report.pdf"));
    EXPECT_EQ(Text(dir / "report.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(Text(dir / "victim.txt"), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);  // nothing left behind
    fs::remove_all(dir);
}

}  // namespace
}  // namespace v2d
