#pragma once
// The prime test window: lists primes into a memo by trial division or with the sieve of Atkin.

#include <cstdint>
#include <vector>

#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

class TForm2 : public TForm {
public:
    // Builds the window and its controls. Visible is set, so the window shows itself once the
    // application has finished creating it (TApplication::CreateForm, or CreateForm2 below).
    explicit TForm2(TComponent* AOwner);
    ~TForm2() override;

    TPanel* Panel1;
    TPanel* Panel2;
    TButton* Button1;
    TGroupBox* GroupBox1;
    TSplitter* Splitter1;
    TGroupBox* GroupBox2;
    TMemo* Memo1;
    TMemo* Memo2;
    TGroupBox* GroupBox3;
    TMemo* Memo3;
    TGroupBox* GroupBox4;
    TPanel* Panel3;
    TButton* Button2;
    TMemo* Memo4;
    TSplitter* Splitter2;
    TSplitter* Splitter3;
    TSplitter* Splitter4;
    TGroupBox* GroupBox5;
    TPanel* Panel4;
    TButton* Button3;
    TMemo* Memo5;
    TButton* Button4;

    // "Сгенерить ключи": appends to Memo1 every number of the trial-division range that IsPrime accepts.
    void Button1Click(TObject* Sender);
    // "Button4": appends to Memo1 the primes between 1,000,000 and 1,100,000 found by the sieve.
    void Button4Click(TObject* Sender);
    // "Получить шифр текста": nothing.
    void Button2Click(TObject* Sender);

    // Both listings handle pending messages between batches; while one runs, another click of
    // either button is ignored, and closing the window stops it.
    bool IsListing() const { return FListing; }

protected:
    // A closed window is freed; one closed during a listing is hidden and freed when the listing stops.
    void DoClose(TCloseAction& Action) override;

private:
    // Lines appended to Memo1 in one go, between two rounds of message handling.
    static constexpr size_t AppendBatch = 1024;
    // Trial-division candidates tested between two rounds of message handling (about 20 ms here).
    static constexpr int64_t TrialStep = 4096;

    void BuildControls();
    // Runs Body unless a listing runs already; frees the window afterwards if it was closed meanwhile.
    template <typename Body> void RunListing(Body body);
    void AppendNumbers(const std::vector<int64_t>& Numbers, size_t From, size_t Count);
    // Handles pending messages; false when the listing must stop (window closed, application ending).
    bool KeepListing();

    bool FListing = false;
    bool FCloseRequested = false;
    bool FFreeWhenDone = false;
    bool FTerminatedAtStart = false;
};

// The application's reference to the prime test window: the newest one, or null once it is gone.
extern TForm2* Form2;

// Creates one more prime test window, owned by the application, which shows itself; Form2 names it.
// It lives until the user closes it or the application ends.
TForm2* CreateForm2();
