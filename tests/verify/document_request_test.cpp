#include "verify/document_request.h"

#include <gtest/gtest.h>

#include "sim/register_fixture.h"
#include "verify/document_examples.h"
#include "verify/document_file.h"
#include "verify/document_grid.h"

namespace kasa {
namespace {

const std::string kControl(40, 'K');

DocumentFields Receipt() {
    DocumentFields f;
    f.type = kReceipt;
    f.controlNumber = kControl;
    f.uniqueNumber = "ABC 12345678";
    f.date = "2026-03-14";
    f.time = "12:41";
    f.vatTotal = "0.07";
    f.totalDue = "12.5";
    f.rows = {{"Żółw ě", "A"}, {"", ""}, {"Sok", "B"}};
    return f;
}

DocumentFields Report() {
    DocumentFields f = Receipt();
    f.type = kDailyReport;
    f.rows.clear();
    for (const std::string& title : ReportRowTitles(kDailyReport)) {
        f.rows.push_back({title, ""});
    }
    f.rows[0].value = "-0,5";
    f.rows[3].value = "0.00";
    f.documentNumber = "123";
    f.reportNumber = "12";
    f.receiptCount = "45";
    f.totalDue = "1234,567";
    return f;
}

TEST(DocumentRequest, ReceiptBodyInMazoviaWithoutBlanksOrControlBytes) {
    const DocumentRequest r = BuildDocumentRequest(Receipt(), VerifyMode::Normal);
    ASSERT_TRUE(r.Valid()) << r.error;
    // "ě" has no Mazovia code: it must not turn into ESC, which would cut the request.
    EXPECT_EQ(r.body,
              "ABC12345678\r\n2026-03-14\r\n\xA1\xA2\x92w ?\r\nA\r\nSok\r\nB\r\n0,07\r\n12,50\r\n"
              "12:41\r\n\x1a");
    EXPECT_EQ(r.controlNumber, kControl);
}

TEST(DocumentRequest, ReportNumbersArePaddedUnlessTypedWithZeros) {
    DocumentFields f = Report();
    DocumentRequest r = BuildDocumentRequest(f, VerifyMode::Normal);
    ASSERT_TRUE(r.Valid()) << r.error;
    EXPECT_EQ(r.body,
              "ABC12345678\r\n2026-03-14\r\n000123\r\n0012\r\n-0,50\r\n0,00\r\n1234,57\r\n0045\r\n"
              "12:41\r\n\x1a");
    f.documentNumber = "000123";
    f.reportNumber = "012";
    r = BuildDocumentRequest(f, VerifyMode::Special);
    EXPECT_EQ(r.body,
              "ABC12345678\r\n2026-03-14\r\n000123\r\n012\r\n-0,50\r\n0,00\r\n1234,57\r\n000045\r\n"
              "12:41\r\n\x1a");
}

TEST(DocumentRequest, RefusesInvalidDocumentsWithTheFirstFailure) {
    struct Case {
        std::function<void(DocumentFields&)> change;
        std::string message;
    };
    const std::vector<Case> cases = {
        {[](auto& f) { f.uniqueNumber = "AB 12345678"; }, "Numer Unikatowy niewłaściwy."},
        {[](auto& f) { f.totalDue.clear(), f.date.clear(); }, "Łączna należność musi wystapić."},
        {[](auto& f) { f.date = "2026-3-"; }, "Brak daty wydruku."},
        {[](auto& f) { f.time = "12:4"; }, "Brak czasu wydruku."},
        {[](auto& f) { f.controlNumber.pop_back(); },
         "Numer kontrolny musi mieć dokładnie 40 znaków."},
        {[](auto& f) { f.controlNumber += "K"; }, "Numer kontrolny musi mieć dokładnie 40 znaków."},
        {[](auto& f) { f.controlNumber.replace(0, 1, "ą"); },
         "Numer kontrolny musi mieć dokładnie 40 znaków."},
        {[](auto& f) {
             f.rows = {{"", "A"}, {"", "B"}};
         },
         "Tabela z wartościami jest pusta."},
        {[](auto& f) { f.totalDue = "1,2,3"; }, "Kwota \"1,2,3\" jest niewłaściwa."},
        {[](auto& f) { f.vatTotal = "12-5"; }, "Kwota \"12-5\" jest niewłaściwa."},
    };
    for (const Case& c : cases) {
        DocumentFields f = Receipt();
        c.change(f);
        EXPECT_EQ(BuildDocumentRequest(f, VerifyMode::Normal).error, c.message) << c.message;
    }
    for (const std::string number : {"0", ""}) {
        DocumentFields f = Report();
        f.documentNumber = number;
        EXPECT_EQ(BuildDocumentRequest(f, VerifyMode::Normal).error,
                  "Numer dokumentu nie może być pusty.");
        f = Report();
        f.reportNumber = number;
        EXPECT_EQ(BuildDocumentRequest(f, VerifyMode::Normal).error,
                  "Numer dokumentu nie może być pusty.");
    }
    DocumentFields f = Receipt();
    f.type = kNoDocument;
    const DocumentRequest none = BuildDocumentRequest(f, VerifyMode::Normal);
    EXPECT_TRUE(none.noType && none.error.empty() && none.body.empty());
}

TEST(DocumentRequest, AmountsKeepTheirSignAndRoundFromHalfAGrosz) {
    const std::pair<const char*, const char*> lines[] = {
        {"12.5", "12,50"},      {"0.07", "0,07"},
        {"-0,5", "-0,50"},      {"-1,5", "-1,50"},
        {"0,005", "0,01"},      {"0,0049", "0,00"},
        {"1 234,5", "1234,50"}, {"999999999999999", "999999999999999,00"}};
    for (const auto& [text, line] : lines) {
        const auto cents = AmountCents(text);
        ASSERT_TRUE(cents.has_value()) << text;
        EXPECT_EQ(AmountLine(*cents), line) << text;
    }
    for (const char* bad : {"", "abc", ",", "1,2,3", "1-", "12.5e3", "1000000000000000"}) {
        EXPECT_FALSE(AmountCents(bad).has_value()) << bad;
    }
}

TEST(DocumentGrid, EnterAndTabGrowTheGoodsGridButNotAReport) {
    DocumentGrid grid = DocumentGrid::ForType(kReceipt);
    EXPECT_TRUE(grid.Type("Ch") && grid.Type("ł"));
    EXPECT_TRUE(grid.Key(DocumentGridKey::Backspace));
    EXPECT_TRUE(grid.Key(DocumentGridKey::Copy));
    grid.Key(DocumentGridKey::Enter);
    EXPECT_TRUE(grid.Key(DocumentGridKey::Paste));
    grid.Key(DocumentGridKey::Enter);  // from the last row: a new row
    ASSERT_EQ(grid.cells.size(), 3u);
    EXPECT_EQ(grid.cells[1][0], "Ch");
    EXPECT_EQ(grid.cells[1][1], "Ch");
    EXPECT_EQ(grid.row, 2);
    grid.row = 0;
    EXPECT_FALSE(grid.Type("x"));  // the title row takes no keys
    DocumentGrid report = DocumentGrid::ForType(kDailyReportWithInvoices);
    ASSERT_EQ(report.cells.size(), 17u);
    EXPECT_EQ(report.cells[16][0], "SPRZEDAŻ ZWOLN.  PTU ?FV");
    report.row = 16;
    report.Key(DocumentGridKey::Enter);
    EXPECT_FALSE(report.Key(DocumentGridKey::Tab));
    EXPECT_EQ(report.cells.size(), 17u);
}

TEST(DocumentFile, ExamplesSurviveTheFileFormat) {
    for (const DocumentExample& example : DocumentExamples()) {
        DocumentFile file{ExampleFields(example), VerifyMode::Special};
        DocumentFile read;
        std::string error;
        ASSERT_TRUE(ParseDocumentFile(DocumentFileText(file), read, error)) << error;
        EXPECT_EQ(BuildDocumentRequest(read.fields, VerifyMode::Special).body,
                  BuildDocumentRequest(file.fields, VerifyMode::Special).body);
    }
    DocumentFile file;
    std::string error;
    EXPECT_FALSE(ParseDocumentFile("typ=paragon\npozycja=Chleb\n", file, error));
    EXPECT_EQ(error, "Linia 2: pozycja bez średnika przed literą lub kwotą.");
    // A key given twice is wrong input, as an unknown key is; goods lines repeat freely.
    DocumentFile twice;
    EXPECT_FALSE(ParseDocumentFile(
        "typ=paragon\ndata=2024-01-02\npozycja=Chleb;A\npozycja=Mleko;B\ndata=2024-01-03\n", twice,
        error));
    EXPECT_EQ(error, "Linia 5: klucz \"data\" powtórzony.");
    EXPECT_FALSE(ParseDocumentFile("typ=paragon\ntyp=faktura\n", twice, error));
    EXPECT_EQ(error, "Linia 2: klucz \"typ\" powtórzony.");
}

class DocumentVerification : public ::testing::Test, public sim::RegisterFixture {};

TEST_F(DocumentVerification, RegisterConfirmsOnlyTheDocumentsItPrinted) {
    ASSERT_TRUE(Connect(sim::RegisterType::Vesper, false));
    ecr.CloseTransmission();
    for (const DocumentExample& example : DocumentExamples()) {
        const DocumentRequest r = BuildDocumentRequest(ExampleFields(example), VerifyMode::Special);
        ASSERT_TRUE(r.Valid()) << r.error;
        EXPECT_EQ(VerifyPrintedDocument(ecr, r).code, 1) << example.PictureName();
        EXPECT_FALSE(ecr.IsOpen());
    }
    DocumentFields f = ExampleFields(DocumentExamples()[0]);
    f.totalDue.back() = f.totalDue.back() == '1' ? '2' : '1';
    EXPECT_EQ(VerifyPrintedDocument(ecr, BuildDocumentRequest(f, VerifyMode::Normal)).code, 2);
    f = ExampleFields(DocumentExamples()[8]);
    f.controlNumber[17] = f.controlNumber[17] == '1' ? '2' : '1';
    EXPECT_EQ(VerifyPrintedDocument(ecr, BuildDocumentRequest(f, VerifyMode::Normal)).code, 2);
    reg->InjectFault({sim::FaultKind::BadChecksum, 0});
    const DocumentRequest r =
        BuildDocumentRequest(ExampleFields(DocumentExamples()[0]), VerifyMode::Normal);
    EXPECT_EQ(VerifyPrintedDocument(ecr, r).code, -1);
    reg->Stop();
    EXPECT_EQ(VerifyPrintedDocument(ecr, r).code, -1);
    EXPECT_EQ(VerdictMessage({-1, -1}),
              "Nie mozna stwierdzić autentyczności.\nBrak komunikacji z urządzeniem KORVEX.");
}

TEST_F(DocumentVerification, ARequestTheRegisterCouldNotHandleGetsNoVerdict) {
    ASSERT_TRUE(Connect(sim::RegisterType::Vesper, false));
    ecr.CloseTransmission();
    // The register's own checksum complaint (21) on a genuine receipt says nothing of the
    // receipt: no verdict, and the code's text. A code outside 20..31 is a denial.
    const DocumentRequest genuine =
        BuildDocumentRequest(ExampleFields(DocumentExamples()[0]), VerifyMode::Special);
    for (const int code : {20, 21, 24, 31}) {
        reg->SetStatusFor('c', code);
        const DocumentVerdict verdict = VerifyPrintedDocument(ecr, genuine);
        EXPECT_EQ(verdict.code, -1) << code;
        EXPECT_EQ(verdict.status, code);
    }
    reg->SetStatusFor('c', 21);
    EXPECT_EQ(VerdictMessage(VerifyPrintedDocument(ecr, genuine)),
              "Nie mozna stwierdzić autentyczności.\nKasa nie obsłużyła zapytania: Błąd bajtu "
              "kontrolnego (kod 21).");
    for (const int code : {1, 19, 32, 79}) {
        reg->SetStatusFor('c', code);
        const DocumentVerdict verdict = VerifyPrintedDocument(ecr, genuine);
        EXPECT_EQ(verdict.code, 2) << code;
        EXPECT_EQ(verdict.status, -1) << code;
    }
    // The next request is judged again.
    reg->ClearStatusFor('c');
    EXPECT_EQ(VerifyPrintedDocument(ecr, genuine).code, 1);
}

}  // namespace
}  // namespace kasa
