#pragma once

#include "app/Services.h"
#include "generate/RandomSource.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace pellorin {

class ResultsModel;
class ResultsView;

// The main window. It holds the controls and forwards their events to
// handlers; the work itself lives in the units the handlers call.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Services services, QWidget* parent = nullptr);
    ~Form1() override;

    ResultsModel& results() { return *m_results; }

    // The window-wide pointer shape: kPointerDefault, kPointerBusy or kPointerHand.
    static constexpr int kPointerDefault = 0;
    static constexpr int kPointerBusy = 11;
    static constexpr int kPointerHand = 99;
    int mousePointer() const { return m_mousePointer; }
    void setMousePointer(int shape);

    // Selects or clears option `index` (0-3) as the program does at start-up:
    // selecting runs the option's click handling, clearing runs nothing.
    void setOptionSelected(int index, bool selected);

public slots:
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton13_Click();

private:
    void createControls();
    void Option_Click(int index);
    void Text1_Change(const QString& text);
    // The brand of the first selected option, or nullptr when none is.
    const struct Brand* selectedBrand() const;
    char decimalSeparator() const;

    Services m_services;
    int m_mousePointer = kPointerDefault;
    RandomSource m_random;
    ResultsModel* m_results = nullptr;

    QGroupBox* m_frame1 = nullptr;
    QGroupBox* m_frame2 = nullptr;
    std::array<QRadioButton*, 4> m_options{};
    QLineEdit* m_text1 = nullptr;
    ResultsView* m_listView1 = nullptr;
    QPushButton* m_pushButton1 = nullptr;
    QPushButton* m_pushButton2 = nullptr;
    QPushButton* m_pushButton3 = nullptr;
    QPushButton* m_pushButton4 = nullptr;
    QPushButton* m_pushButton13 = nullptr;
    QProgressBar* m_progressBar1 = nullptr;
};

} // namespace pellorin
