#pragma once

#include "PointerFeedback.h"
#include "RandomSource.h"
#include "Services.h"

#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pellorin {

class Announcement;
class SteppedProgressBar;
class ResultsModel;
class ResultsView;

// The main window. It holds the controls and forwards their events to
// handlers; the work itself lives in the units the handlers call.
//
// Constructing it runs its load handling (skin, centring, pointer image,
// caption, icon, results column, stored quantity and brand), so it is ready
// to show. Closing it ends the process at once.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    // Looks for the skin and the pointer image beside the executable.
    explicit Form1(Services services, QWidget* parent = nullptr);
    // Looks for them in `programFolder` instead.
    Form1(Services services, QString programFolder, QWidget* parent = nullptr);
    ~Form1() override;

    ResultsModel& results() { return *m_results; }

    // The window-wide pointer shape: kPointerDefault, kPointerBusy or kPointerHand.
    static constexpr int kPointerDefault = PointerFeedback::kDefault;
    static constexpr int kPointerBusy = PointerFeedback::kBusy;
    static constexpr int kPointerHand = PointerFeedback::kHand;
    int mousePointer() const { return m_pointer->shape(); }
    void setMousePointer(int shape) { m_pointer->setShape(shape); }

    // Selects or clears option `index` (0-3) as the program does at start-up:
    // selecting runs the option's click handling, clearing runs nothing.
    void setOptionSelected(int index, bool selected);

public slots:
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton13_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Form1Layout.cpp: the controls with their geometry, fonts, colours and
    // tab order, as the window is designed; no handler runs while they are made.
    void createControls();
    void arrangeTabOrder();
    void connectHandlers();

    // A button's click, or held until the generation run is over when one
    // is under way: only window system events are handled during a run, but
    // assistive technology's actions come with them.
    void clickWhenIdle(void (Form1::*handler)());
    void releaseHeldClicks();

    void Form1_Load();
    void Form1_Unload();
    void Option_Click(int index);
    void updateOptionTabStop();
    void Text1_Change(const QString& text);
    void Text1_LostFocus();
    // The brand of the first selected option, or nullptr when none is.
    const struct Brand* selectedBrand() const;
    char decimalSeparator() const;

    Services m_services;
    QString m_programFolder;
    PointerFeedback* m_pointer = nullptr;
    RandomSource m_random;
    ResultsModel* m_results = nullptr;

    QGroupBox* m_frame1 = nullptr;
    QGroupBox* m_frame2 = nullptr;
    std::array<QRadioButton*, 4> m_options {};
    QLineEdit* m_text1 = nullptr;
    ResultsView* m_listView1 = nullptr;
    QPushButton* m_pushButton1 = nullptr;
    QPushButton* m_pushButton2 = nullptr;
    QPushButton* m_pushButton3 = nullptr;
    QPushButton* m_pushButton4 = nullptr;
    QPushButton* m_pushButton13 = nullptr;
    SteppedProgressBar* m_progressBar1 = nullptr;
    Announcement* m_announcement = nullptr;

    bool m_running = false;
    std::vector<void (Form1::*)()> m_heldClicks;
};

} // namespace pellorin
