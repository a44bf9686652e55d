#pragma once
// Forms from payment data ("&Obrada obveznika" of the window "Formiranje
// obrazaca M-Vz na temelju preuzetih podataka"): the form's page-B rows are
// taken from a payment-data file made by the payer's own payroll program
// instead of the payer's employee rows; when every selected line of the file
// is accepted, page A and the submission file are formed as by the forming
// window, with "+" as the sign of amounts of zero and above.
//
// The lines of the chosen payer, calculation type, year, month and period
// are checked (PaymentLineChecker, worded for forms); each accepted line
// becomes a page-B row carrying the rates of its rate row. The other lines
// are refused with a finding ("Redak nije preuzet."). Every finding is a
// TBGRESKE row and goes to the receiver given.
//
// The payment-data file is read through the work copy TBUPLATE.DAT, held by
// the run until its last line, as the payment check reads it (every line;
// only a Ctrl-Z that is the file's last byte ends it).
//
// The form is rebuilt in one transaction: when the run stops (no line taken,
// a selected line refused, a row that cannot be written, any failure while
// forming the file) the form keeps exactly the page-B rows and page A it
// had, and the findings say why. Only a run that forms the payer file
// commits the new rows. The findings of a run that read the file are kept
// either way; a run that stops before reading it changes no table.

#include <cstdint>
#include <string>

#include "submission/collective.h"
#include "submission/forming.h"

namespace mvz {

class FindingSink;
class Tables;

// The title of the window's message boxes.
inline constexpr const char* kPaymentFormsTitle =
    "Formiranje obrazaca M-Vz na temelju preuzetih podataka";

struct PaymentFormsRequest {
    FormingRequest form;   // the values the forming window shares
    std::string inputFile; // "Ulazna datoteka :", the payment-data file (UTF-8 path)
    // The year the control table's year rule ends at (+ 1); 0: this year by the clock.
    int currentYear = 0;
};

struct PaymentFormsResult {
    FormingResult forming; // forming.done: the payer file was formed
    long long linesRead = 0;
    long long linesTaken = 0;
    long long linesRefused = 0;   // lines of other forms and selected lines refused
    bool selectedRefused = false; // a selected line was refused
    // The user stopped the run while the file was read: no table changed.
    bool cancelled = false;
    long long findings = 0;
    // The note of the summary: "Nakon obrade pregledajte popis grešaka " when
    // any line was refused, else empty.
    std::string summaryNote;
};

// Processes one payer from the payment-data file. Messages, status texts,
// progress (bytes of the work copy read) and the cancel request go through
// the reporter of the tables' error reporter.
PaymentFormsResult formFromPaymentData(Tables& tables, const PaymentFormsRequest& request,
                                       FindingSink* findings = nullptr);

// The collective file of the forms formed so far ("&Odredi zbirni HASH" of
// this window), dated with this window's sending date.
CollectiveResult paymentFormsCollective(Tables& tables, const PaymentFormsRequest& request);

} // namespace mvz
