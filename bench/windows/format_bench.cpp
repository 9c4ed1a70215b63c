// The engine through Quillet's exports against the platform's own formatting
// and parsing, with the same layouts: what a host gains or pays by formatting
// through the edit control's engine rather than through the Automation library.
// Runs under Wine; prints per-call times and the ratios in the format of the
// native benchmark report.
#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "host/loaded_library.h"
#include "host/quillet_exports.h"

namespace {

// Amounts as a ledger shows them, and dates stored as yyyymmdd.
constexpr double kAmounts[] = {0.5, 12.34, 1234.5, -98765.432, 1e7 + 0.25};
constexpr int kDates[] = {20241225, 19991231, 20000229, 18720704, 20380119};
constexpr const char* kTypedAmounts[] = {"0.50", "12.34", "1,234.50", "-98,765.432",
                                         "10,000,000.25"};
constexpr const wchar_t* kTypedAmountsWide[] = {L"0.50", L"12.34", L"1,234.50", L"-98,765.432",
                                                L"10,000,000.25"};

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of several rounds, in nanoseconds per conversion; both sides of a pair
// are measured in turn within each round so that they meet the same load.
template <class Ours, class Theirs>
void MeasurePair(Ours ours, Theirs theirs, double* oursBest, double* theirsBest) {
  constexpr int kRepeats = 20000, kRounds = 7;
  *oursBest = *theirsBest = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    double start = Seconds();
    for (int i = 0; i < kRepeats; ++i) ours();
    *oursBest = std::min(*oursBest, (Seconds() - start) / kRepeats * 1e9);
    start = Seconds();
    for (int i = 0; i < kRepeats; ++i) theirs();
    *theirsBest = std::min(*theirsBest, (Seconds() - start) / kRepeats * 1e9);
  }
}

// The OLE date of a yyyymmdd value; the split is part of the work on both sides.
DATE OleDate(int date) {
  SYSTEMTIME parts{};
  parts.wYear = static_cast<WORD>(date / 10000);
  parts.wMonth = static_cast<WORD>(date / 100 % 100);
  parts.wDay = static_cast<WORD>(date % 100);
  double value = 0;
  SystemTimeToVariantTime(&parts, &value);
  return value;
}

}  // namespace

int main() {
  quorvan::host::LoadedLibrary quillet("Quillet.dll");
  quorvan::host::QuilletExports exports(quillet);
  if (!exports.Complete()) {
    std::printf("Quillet.dll lacks the exports this benchmark needs\n");
    return 1;
  }
  char output[64];
  volatile int sink = 0;
  bool agreed = true;

  double amountOurs = 0, amountTheirs = 0;
  MeasurePair(
      [&] {
        for (const double& amount : kAmounts)
          sink =
              exports.formatData(&amount, 'n', 'd', "#,##0.00", output, sizeof output, nullptr, 0);
      },
      [&] {
        for (double amount : kAmounts) {
          VARIANT value;
          V_VT(&value) = VT_R8;
          V_R8(&value) = amount;
          BSTR text = nullptr;
          sink = VarFormat(&value, const_cast<LPOLESTR>(L"#,##0.00"), 0, 0, 0, &text);
          SysFreeString(text);
        }
      },
      &amountOurs, &amountTheirs);
  exports.formatData(&kAmounts[2], 'n', 'd', "#,##0.00", output, sizeof output, nullptr, 0);
  agreed = agreed && lstrcmpA(output, "1,234.50") == 0;

  double dateOurs = 0, dateTheirs = 0;
  MeasurePair(
      [&] {
        for (const int& date : kDates)
          sink =
              exports.formatData(&date, 'd', 'l', "dd/mm/yyyy", output, sizeof output, nullptr, 0);
      },
      [&] {
        for (int date : kDates) {
          VARIANT value;
          V_VT(&value) = VT_DATE;
          V_DATE(&value) = OleDate(date);
          BSTR text = nullptr;
          sink = VarFormat(&value, const_cast<LPOLESTR>(L"dd/mm/yyyy"), 0, 0, 0, &text);
          SysFreeString(text);
        }
      },
      &dateOurs, &dateTheirs);
  exports.formatData(&kDates[0], 'd', 'l', "dd/mm/yyyy", output, sizeof output, nullptr, 0);
  agreed = agreed && lstrcmpA(output, "25/12/2024") == 0;

  double parseOurs = 0, parseTheirs = 0;
  double parsed = 0;
  MeasurePair(
      [&] {
        for (const char* text : kTypedAmounts)
          sink = exports.parseData(&parsed, 'n', 'd', "#,##0.00", text, 0);
      },
      [&] {
        for (const wchar_t* text : kTypedAmountsWide)
          sink = VarR8FromStr(const_cast<OLECHAR*>(text), LOCALE_USER_DEFAULT, 0, &parsed);
      },
      &parseOurs, &parseTheirs);
  exports.parseData(&parsed, 'n', 'd', "#,##0.00", kTypedAmounts[2], 0);
  agreed = agreed && parsed == 1234.5;

  const double perValue = static_cast<double>(std::size(kAmounts));
  std::printf("%-48s %12.1f ns\n", "BM_FormatAmountExport", amountOurs / perValue);
  std::printf("%-48s %12.1f ns\n", "BM_FormatAmountExport_Baseline", amountTheirs / perValue);
  std::printf("%-48s %12.1f ns\n", "BM_FormatDateExport", dateOurs / perValue);
  std::printf("%-48s %12.1f ns\n", "BM_FormatDateExport_Baseline", dateTheirs / perValue);
  std::printf("%-48s %12.1f ns\n", "BM_ParseAmountExport", parseOurs / perValue);
  std::printf("%-48s %12.1f ns\n", "BM_ParseAmountExport_Baseline", parseTheirs / perValue);
  std::printf("\n%-48s %12s\n", "benchmark / its baseline", "ratio");
  std::printf("%-48s %12.2f\n", "BM_FormatAmountExport", amountOurs / amountTheirs);
  std::printf("%-48s %12.2f\n", "BM_FormatDateExport", dateOurs / dateTheirs);
  std::printf("%-48s %12.2f\n", "BM_ParseAmountExport", parseOurs / parseTheirs);
  if (!agreed) std::printf("the engine's answers differ from the expected texts\n");
  return agreed ? 0 : 2;
}
