#include "Form1.h"

#include "Announcement.h"
#include "Brand.h"
#include "EnterPressesButton.h"
#include "FrameStyle.h"
#include "ResultsModel.h"
#include "ResultsView.h"
#include "ResultsViewAnnouncer.h"
#include "SteppedProgressBar.h"
#include "Twips.h"
#include "WholeBoxRadioButton.h"
#include "WindowColors.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <limits>

namespace pellorin {

namespace {

QFont arialBold(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void place(QWidget* control, const char* name, QRect geometry)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
}

void setColors(
    QWidget* control, std::initializer_list<std::pair<QPalette::ColorRole, ColorValue>> roles)
{
    QPalette palette = control->palette();
    for (const auto& [role, value] : roles)
        palette.setColor(role, resolveColor(value));
    control->setPalette(palette);
}

} // namespace

void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    // Fixed single border with close and minimise only; a top-level window
    // has its own task-bar entry.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
        | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(8040), twipsToPixels(7260));
    setBackColor(*this, kWhite);
    setFont(arialBold(9));

    // Creation order is the window's control collection order.
    m_frame1 = new QGroupBox(QStringLiteral("Card Type To Generate"), this);
    place(m_frame1, "Frame1", twipsRect(120, 120, 7800, 1770));
    m_frame1->setStyle(frameStyle());
    setBackColor(*m_frame1, kWhite);
    static constexpr std::array<const char*, 4> kOptionNames { "Option1", "Option2", "Option3",
        "Option4" };
    static constexpr std::array<int, 4> kOptionTops { 300, 650, 1000, 1350 };
    for (std::size_t i = m_options.size(); i-- > 0;) {
        const std::string_view caption = brandTable()[i].caption;
        auto* option = new WholeBoxRadioButton(
            QString::fromUtf8(caption.data(), qsizetype(caption.size())), m_frame1);
        place(option, kOptionNames[i], twipsRect(240, kOptionTops[i], 1935, 285));
        setBackColor(*option, kWhite);
        // The caption " Visa" keeps its leading blank on screen; its name goes
        // without, so a braille display shows none.
        option->setAccessibleName(option->text().trimmed());
        m_options[i] = option;
    }
    m_options[0]->setChecked(true);

    m_frame2
        = new QGroupBox(QStringLiteral("How many credit cards would you like to generate?"), this);
    place(m_frame2, "Frame2", twipsRect(120, 1950, 7800, 780));
    m_frame2->setStyle(frameStyle());
    setBackColor(*m_frame2, kWhite);
    m_text1 = new QLineEdit(QStringLiteral("10"), m_frame2);
    place(m_text1, "Text1", twipsRect(240, 300, 7300, 345));
    m_text1->setMaxLength(std::numeric_limits<int>::max());
    m_text1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setColors(m_text1, { { QPalette::Base, kWindowBackground }, { QPalette::Text, kWindowText } });

    m_listView1 = new ResultsView(this);
    new ResultsViewAnnouncer(m_listView1);
    place(m_listView1, "ListView1", twipsRect(120, 3345, 7800, 2265));
    m_listView1->setModel(m_results);
    m_listView1->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_listView1->setFont(arialBold(9));
    setColors(m_listView1,
        { { QPalette::Base, kWindowBackground }, { QPalette::Window, kWindowBackground },
            { QPalette::Text, kWindowText } });
    m_listView1->setToolTip(QStringLiteral("Double-click item to remove it. Move bar to right and "
                                           "out of window to reveal full names."));
    // The tooltip speaks of the mouse; a screen reader's user is told the keys.
    m_listView1->setAccessibleDescription(
        QStringLiteral("Up, Down, Page Up, Page Down, Home and End move between the results; "
                       "Space ticks or unticks the current one."));

    auto button = [this](const char* name, const char* caption, QRect geometry) {
        auto* b = new QPushButton(QLatin1String(caption), this);
        place(b, name, geometry);
        b->setFont(arialBold(11.25));
        setColors(b, { { QPalette::Button, kWhite }, { QPalette::ButtonText, kButtonText } });
        new EnterPressesButton(b);
        return b;
    };
    m_pushButton1 = button("PushButton1", "Start Generating", twipsRect(120, 2835, 7800, 405));
    m_pushButton4
        = button("PushButton4", "Save Results As Text File", twipsRect(120, 5700, 3840, 405));
    m_pushButton13
        = button("PushButton13", "Save Results As Excel File", twipsRect(4080, 5700, 3840, 405));
    m_pushButton3 = button("PushButton3", "Clear Results", twipsRect(4080, 6210, 3840, 405));

    m_progressBar1 = new SteppedProgressBar(this);
    place(m_progressBar1, "ProgressBar1", twipsRect(120, 6735, 7800, 405));
    m_progressBar1->setRange(0, 100);
    m_progressBar1->setValue(0);
    m_progressBar1->setTextVisible(false);
    m_progressBar1->setAccessibleName(QStringLiteral("Progress"));
    setColors(m_progressBar1,
        { { QPalette::Base, kWhite }, { QPalette::Window, kWhite }, { QPalette::Text, kButtonText },
            { QPalette::WindowText, kButtonText }, { QPalette::Highlight, kHighlight } });

    m_pushButton2
        = button("PushButton2", "Copy Results To Clipboard", twipsRect(120, 6210, 3840, 405));

    m_announcement = new Announcement(this);

    arrangeTabOrder();
}

void Form1::arrangeTabOrder()
{
    // ListView1, PushButton1, PushButton4, PushButton13, PushButton3,
    // ProgressBar1, PushButton2, Frame2, Text1, Frame1, Option1 to Option4.
    // The frames and the progress bar take no focus, so Tab passes over them
    // and the chain leaves them out.
    const std::array<QWidget*, 11> order { m_listView1, m_pushButton1, m_pushButton4,
        m_pushButton13, m_pushButton3, m_pushButton2, m_text1, m_options[0], m_options[1],
        m_options[2], m_options[3] };
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    updateOptionTabStop();
    // The first control of the order holds the focus when the window is shown.
    m_listView1->setFocus();
}

void Form1::updateOptionTabStop()
{
    // Tab enters the card types at the selected one (the first when none is);
    // the arrow keys move between them.
    const auto selected = std::find_if(
        m_options.begin(), m_options.end(), [](const QRadioButton* o) { return o->isChecked(); });
    for (auto it = m_options.begin(); it != m_options.end(); ++it) {
        const bool tabStop = selected == m_options.end() ? it == m_options.begin() : it == selected;
        (*it)->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

} // namespace pellorin
