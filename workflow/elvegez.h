#pragma once

#include "completion.h"
#include "completionlist.h"
#include "sqlstatement.h"

#include "core/screen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPdfDocument;
class QPdfView;
class QScrollArea;
class QStackedWidget;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace mivo::data
{
class QueryModel;
}

namespace mivo::workflow
{

/// "Elvégzett munka dokumentálása" (mode "KI") and "Elvégzett munka adatellenőrzés,
/// javítás" (mode "OK"): the list of the mode's jobs under six pages (the work, the
/// customer, the appliance with its commissioning sheet, the parts used, the list's filter,
/// the scanned job sheet). "&Adatok bevitele" loads the current job, "&OK (Tárolás)" checks
/// and stores it, "&Mégsem" drops the changes. The logic lives in the completion classes;
/// this screen shows their values and asks the user.
class Telvegezfm : public Screen
{
    Q_OBJECT
public:
    explicit Telvegezfm(QWidget* parent = nullptr);

    /// Page numbers of the tabs.
    enum Page { WorkPage, CustomerPage, AppliancePage, PartsPage, FilterPage, SheetPage };

    QTabWidget* pages() const { return m_pages; }
    QTableView* jobList() const { return m_list; }
    data::QueryModel& listModel() const { return *m_rows; }
    QTableWidget* partsGrid() const { return m_parts; }
    QLineEdit* edit(const QString& name) const;
    QComboBox* activityBox() const { return m_activity; }
    /// The number the item counter shows ("Tételszám:").
    QString itemCount() const;
    /// The statement the list was last read with.
    const SqlStatement& listStatement() const { return m_statement; }

    /// The job being edited as the fields hold it.
    const Completion& completion();

    /// "&Feltételek elfogadása": checks the filter and reads the list; false when refused.
    bool acceptFilter();
    /// "Feltételek &törlése".
    void clearFilter();
    /// Orders the list by the shown column (a column title click).
    void orderByColumn(int column);
    /// "&Adatok bevitele" on the current row.
    void loadCurrent();
    /// "&OK (Tárolás)".
    void store();
    /// "&Mégsem".
    void cancel();
    /// "Találatok m&entése táblába": the listed rows to the file (empty: the save dialog);
    /// the name written, empty when nothing was written.
    QString exportList(const QString& fileName = {});

    /// The scanned job sheet the "Munkalap" page shows; empty when none.
    QString sheetFile() const { return m_sheetFile; }
    /// The viewer the page shows: "pdf_munkalap", "sb_kep" or "l_nincsmunkalap".
    QString sheetViewer() const;

protected:
    void initialise() override;
    void editingChanged(bool editing) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildWorkPage();
    QWidget* buildCustomerPage();
    QWidget* buildAppliancePage();
    QWidget* buildPartsPage();
    QWidget* buildFilterPage();
    QWidget* buildSheetPage();
    QWidget* buildList();
    /// A line edit of the page, named, with its length, as wide as `shown` characters (0: its
    /// length); read-only when told.
    QLineEdit* addEdit(QWidget* page, const QString& name, int maxLength, bool readOnly = false,
                       int shown = 0);
    QPushButton* addButton(QWidget* page, const QString& name, const QString& text,
                           std::function<void()> run);

    /// Takes what the user typed into the completion, and back.
    void readFields();
    void showCompletion();
    void showParts();
    void readParts();
    void clearPages();
    CompletionFilter readFilter() const;
    void showFilter(const CompletionFilter& filter);
    bool readList(int selectKod);
    /// Loads the job of the list's current row into the pages; false when there is none.
    bool loadRow();
    void reloadAfterStore();
    void refuse(const QString& message, const QString& focus);
    void focusOn(const QString& name);
    void showPartsPage(bool shown);

    void activityChosen();
    void pickPerformer();
    void performerLeft();
    void pickCustomer();
    void postalCodeLeft();
    void pickPostalCode();
    void pickApplianceType();
    void pickSerial();
    void pickHeating();
    void pickCompany(const QString& prefix);
    void pickPart();
    void partChanged(int row, int column);
    void pressLetter(const QString& field, const QString& letters);
    void letterLeft(const QString& field, const QString& letters);
    void dateLeft(const QString& field);
    void pickDay(const QString& field);
    void pickFilterCustomer();
    void pickFilterTechnician();
    void pickFilterType();

    void showSheetFile();
    void browseSheetFile();
    void showFile(const QString& path);

    QTabWidget* m_pages;
    QTableView* m_list;
    data::QueryModel* m_rows;
    QLabel* m_count;
    QComboBox* m_activity;
    QTableWidget* m_parts;
    QStackedWidget* m_viewer;
    QLabel* m_noSheet;
    QScrollArea* m_imageArea;
    QLabel* m_image;
    QPdfDocument* m_pdf;
    QPdfView* m_pdfView;

    CompletionMode m_mode = CompletionMode::Document;
    Activities m_activities;
    Completion m_completion;
    SqlStatement m_statement;
    int m_order = 0;
    int m_filterCustomer = 0;
    int m_filterType = 0;
    QString m_sheetNumber; ///< the job-sheet number the scanned sheet is looked for by
    QString m_sheetFile;
    bool m_filling = false;  ///< the pages are being filled: no lookups
    bool m_checking = false; ///< a field's check is showing its message
};

} // namespace mivo::workflow
