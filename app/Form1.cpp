#include "Form1.h"

#include "Announcement.h"
#include "ApplicationTitle.h"
#include "ApplySkin.h"
#include "Brand.h"
#include "CoarseTimer.h"
#include "CursorFile.h"
#include "ErrorTrap.h"
#include "FocusLossWatcher.h"
#include "FreedMemory.h"
#include "GenerationRun.h"
#include "InputHoldingTurns.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "ProcessEnd.h"
#include "ProgramIcon.h"
#include "QuantityCheck.h"
#include "ResultCount.h"
#include "ResultsModel.h"
#include "ResultsView.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "SteppedProgressBar.h"
#include "Twips.h"
#include "WindowManagerRequests.h"
#include "WindowUtilities.h"
#include "Yielder.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

#include <exception>
#include <utility>

namespace pellorin {

namespace {

class CloseRequestYielder final : public Yielder {
public:
    explicit CloseRequestYielder(QWidget& window)
        : m_turns(window, std::chrono::milliseconds(20))
    {
    }
    void poll() override { m_turns.poll(); }

private:
    InputHoldingTurns m_turns;
};

} // namespace

Form1::Form1(Services services, QWidget* parent)
    : Form1(services, programFolder(), parent)
{
}

Form1::Form1(Services services, QString programFolder, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
    , m_programFolder(std::move(programFolder))
    , m_pointer(new PointerFeedback(*this))
    , m_random(RandomSource::fromSystem(&coarseTimer))
    , m_results(new ResultsModel(this))
{
    createControls();
    connectHandlers();
    Form1_Load();
    // Qt would drop the window manager's close request while a message box
    // or dialog is open; closing ends the program then too.
    acceptCloseRequestsWhileBlocked(*this);
}

Form1::~Form1() = default;

void Form1::connectHandlers()
{
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        connect(m_options[i], &QRadioButton::toggled, this, [this, i](bool on) {
            updateOptionTabStop();
            if (on)
                Option_Click(int(i));
        });
    }
    connect(m_text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    new FocusLossWatcher(m_text1, [this] { Text1_LostFocus(); });

    for (const auto& click : { std::pair { m_pushButton1, &Form1::PushButton1_Click },
             { m_pushButton2, &Form1::PushButton2_Click },
             { m_pushButton3, &Form1::PushButton3_Click },
             { m_pushButton4, &Form1::PushButton4_Click },
             { m_pushButton13, &Form1::PushButton13_Click } }) {
        connect(click.first, &QPushButton::clicked, this,
            [this, handler = click.second] { clickWhenIdle(handler); });
    }

    // Pointer moves: the hand over the buttons, the ordinary pointer over
    // the background, the frames and the list; the quantity box, the options
    // and the progress bar have no handler.
    for (QPushButton* button :
        { m_pushButton1, m_pushButton2, m_pushButton3, m_pushButton4, m_pushButton13 })
        m_pointer->addHoverHandler(button, kPointerHand);
    for (QWidget* area : std::initializer_list<QWidget*> { m_frame1, m_frame2, m_listView1 })
        m_pointer->addHoverHandler(area, kPointerDefault);
    for (QWidget* plain : std::initializer_list<QWidget*> { m_text1, m_progressBar1 })
        m_pointer->addControlWithoutHandler(plain);
    for (QRadioButton* option : m_options)
        m_pointer->addControlWithoutHandler(option);
}

void Form1::clickWhenIdle(void (Form1::*handler)())
{
    if (m_running) {
        m_heldClicks.push_back(handler);
        return;
    }
    (this->*handler)();
}

void Form1::releaseHeldClicks()
{
    for (const auto handler : std::exchange(m_heldClicks, {}))
        QMetaObject::invokeMethod(
            this, [this, handler] { clickWhenIdle(handler); }, Qt::QueuedConnection);
}

void Form1::Form1_Load()
{
    // A skin is decoration: when the engine fails, start-up goes on with the
    // window as far as the skin got.
    try {
        ApplySkin(*this, m_services.skin, m_programFolder);
    } catch (const std::exception&) {
    }
    CenterOnScreen(*this);

    const QString cursorPath = handCursorFile(m_programFolder);
    if (!cursorPath.isEmpty())
        m_pointer->setHandCursor(readCursorFile(cursorPath, devicePixelRatio()));

    setWindowTitle(applicationTitle());
    setWindowIcon(programIcon());

    m_results->setColumnCaption(QStringLiteral("Result(s)"));
    m_listView1->setColumnWidth(twipsToPixels(6000));

    m_text1->setText(m_services.settings.read(kQuantityKey.key(), kQuantityKey.fallback()));

    // All four are read before any is applied: selecting one stores the
    // state of all four, which would hide a later key's stored value.
    std::array<bool, kOptionKeys.size()> selected {};
    for (std::size_t i = 0; i < kOptionKeys.size(); ++i) {
        const QString stored
            = m_services.settings.read(kOptionKeys[i].key(), kOptionKeys[i].fallback());
        selected[i] = readTruthValue(stored.toStdString(), decimalSeparator());
    }
    for (std::size_t i = 0; i < selected.size(); ++i)
        setOptionSelected(int(i), selected[i]);
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    Form1_Unload();
}

void Form1::Form1_Unload()
{
    endProcessNow();
}

void Form1::setOptionSelected(int index, bool selected)
{
    QRadioButton* option = m_options.at(std::size_t(index));
    if (selected) {
        option->setChecked(true);
        return;
    }
    // Qt refuses to clear the checked button of an exclusive group; the
    // program may clear it, leaving no brand selected.
    if (option->isChecked()) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void Form1::Option_Click(int index)
{
    // All four keys, so that at most one reads true and the window reopens on
    // the brand chosen last, whatever was chosen before it.
    for (std::size_t i = 0; i < kOptionKeys.size(); ++i) {
        m_services.settings.write(kOptionKeys[i].key(),
            i == std::size_t(index) ? QStringLiteral("True") : QStringLiteral("False"));
    }
}

void Form1::Text1_Change(const QString& text)
{
    m_services.settings.write(kQuantityKey.key(), text);
}

void Form1::Text1_LostFocus()
{
    const QString message = quantityCheckMessage(m_text1->text(), decimalSeparator());
    if (message.isEmpty())
        return;
    m_services.messages.show(message, applicationTitle(), MessageIcon::Warning);
    m_text1->setFocus(Qt::OtherFocusReason);
}

const Brand* Form1::selectedBrand() const
{
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        if (m_options[i]->isChecked())
            return &brandTable()[i];
    }
    return nullptr;
}

char Form1::decimalSeparator() const
{
    const QString separator = locale().decimalPoint();
    return separator.size() == 1 && separator[0].unicode() < 0x80 ? char(separator[0].unicode())
                                                                  : '.';
}

namespace {

// The lines the error reports of the two handlers below quote for their steps.
enum PushButton1Line : int { kReadQuantity = 100 };
enum PushButton3Line : int { kClearList = 100 };

} // namespace

void Form1::PushButton1_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton1_Click"));
    std::int32_t quantity = 0;
    const bool read = trap.step(kReadQuantity, [&] {
        const auto value = readQuantity32(m_text1->text().toStdString(), decimalSeparator());
        if (!value)
            throw StepFailure(QStringLiteral("The quantity \"%1\" is not a whole number from "
                                             "-2147483648 to 2147483647")
                                  .arg(m_text1->text()));
        quantity = *value;
    });
    if (!read)
        return;
    const Brand* brand = selectedBrand();
    if (quantity >= 1 && brand == nullptr) {
        m_services.messages.show(
            QStringLiteral("Select a card type first."), applicationTitle(), MessageIcon::Warning);
        return;
    }
    if (brand == nullptr)
        brand = &brandTable()[0];
    // The run holds the window's input until it ends, but closing the window
    // ends the program at once, as at any other time: turns for the window
    // system's events every few hundredths of a second let the close request
    // in.
    CloseRequestYielder closeRequests(*this);
    m_running = true;
    const auto idle = qScopeGuard([this] {
        m_running = false;
        releaseHeldClicks();
    });
    runGeneration(
        *m_results, *brand, quantity, m_random, trap,
        [this](int percent) { m_progressBar1->setProgress(percent); }, 1, &closeRequests);
    m_announcement->say(resultCount(m_results->rowCount()) + QStringLiteral(" in the list"));
}

void Form1::PushButton3_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton3_Click"));
    if (trap.step(kClearList, [&] {
            m_results->clear();
            returnFreedMemory();
        }))
        m_announcement->say(resultCount(m_results->rowCount()) + QStringLiteral(" in the list"));
}

} // namespace pellorin
