#include "app/Form1.h"

#include "app/ErrorTrap.h"
#include "app/GenerationRun.h"
#include "app/SettingsKeys.h"
#include "app/Twips.h"
#include "generate/Brand.h"
#include "generate/NumberText.h"
#include "platform/MessageBoxes.h"
#include "platform/SettingsStore.h"
#include "results/ResultsModel.h"
#include "results/ResultsView.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace pellorin {

namespace {

const QString kApplicationTitle = QStringLiteral("Pellorin");

QString handlerLocation(const char* handler)
{
    return QStringLiteral("in Tavimbrel5/20/2014.Form1.") + QLatin1String(handler)
           + QLatin1Char(' ');
}

} // namespace

Form1::Form1(Services services, QWidget* parent)
    : QWidget(parent), m_services(services), m_random(RandomSource::fromSystem()),
      m_results(new ResultsModel(this))
{
    createControls();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(twipsToPixels(8040), twipsToPixels(7260));

    auto place = [](QWidget* w, const char* name, QRect geometry) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(geometry);
    };

    m_frame1 = new QGroupBox(QStringLiteral("Card Type To Generate"), this);
    place(m_frame1, "Frame1", twipsRect(120, 120, 7800, 1770));
    static constexpr std::array<const char*, 4> kOptionNames{"Option1", "Option2", "Option3",
                                                             "Option4"};
    static constexpr std::array<int, 4> kOptionTops{300, 650, 1000, 1350};
    for (int i = 0; i < 4; ++i) {
        const QString caption = QString::fromUtf8(brandTable()[std::size_t(i)].caption.data(),
                                                  qsizetype(brandTable()[std::size_t(i)].caption.size()));
        auto* option = new QRadioButton(caption, m_frame1);
        place(option, kOptionNames[std::size_t(i)], twipsRect(240, kOptionTops[std::size_t(i)], 1935, 285));
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option_Click(i);
        });
        m_options[std::size_t(i)] = option;
    }

    m_frame2 = new QGroupBox(QStringLiteral("How many credit cards would you like to generate?"), this);
    place(m_frame2, "Frame2", twipsRect(120, 1950, 7800, 780));
    m_text1 = new QLineEdit(QStringLiteral("10"), m_frame2);
    place(m_text1, "Text1", twipsRect(240, 300, 7300, 345));
    connect(m_text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);

    m_listView1 = new ResultsView(this);
    place(m_listView1, "ListView1", twipsRect(120, 3345, 7800, 2265));
    m_listView1->setModel(m_results);
    m_listView1->setToolTip(QStringLiteral(
        "Double-click item to remove it. Move bar to right and out of window to reveal full names."));

    auto button = [&](const char* name, const char* caption, QRect geometry,
                      void (Form1::*handler)()) {
        auto* b = new QPushButton(QLatin1String(caption), this);
        place(b, name, geometry);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    m_pushButton1 = button("PushButton1", "Start Generating", twipsRect(120, 2835, 7800, 405),
                           &Form1::PushButton1_Click);
    m_pushButton4 = button("PushButton4", "Save Results As Text File",
                           twipsRect(120, 5700, 3840, 405), &Form1::PushButton4_Click);
    m_pushButton13 = button("PushButton13", "Save Results As Excel File",
                            twipsRect(4080, 5700, 3840, 405), &Form1::PushButton13_Click);
    m_pushButton3 = button("PushButton3", "Clear Results", twipsRect(4080, 6210, 3840, 405),
                           &Form1::PushButton3_Click);

    m_progressBar1 = new QProgressBar(this);
    place(m_progressBar1, "ProgressBar1", twipsRect(120, 6735, 7800, 405));
    m_progressBar1->setRange(0, 100);
    m_progressBar1->setValue(0);
    m_progressBar1->setTextVisible(false);

    m_pushButton2 = button("PushButton2", "Copy Results To Clipboard",
                           twipsRect(120, 6210, 3840, 405), &Form1::PushButton2_Click);

    m_results->setColumnCaption(QStringLiteral("Result(s)"));
    m_listView1->setColumnWidth(twipsToPixels(6000));
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
    m_services.settings.write(kOptionKeys.at(std::size_t(index)).key(), QStringLiteral("True"));
}

void Form1::Text1_Change(const QString& text)
{
    m_services.settings.write(kQuantityKey.key(), text);
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

void Form1::PushButton1_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton1_Click"));
    std::int32_t quantity = 0;
    const bool read = trap.step(100, [&] {
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
        m_services.messages.show(QStringLiteral("Select a card type first."), kApplicationTitle,
                                 MessageIcon::Warning);
        return;
    }
    if (brand == nullptr)
        brand = &brandTable()[0];
    runGeneration(*m_results, *brand, quantity, m_random, trap,
                  [this](int percent) { m_progressBar1->setValue(percent); });
}

void Form1::PushButton3_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton3_Click"));
    trap.step(100, [&] { m_results->clear(); });
}

void Form1::setMousePointer(int shape)
{
    m_mousePointer = shape;
    if (shape == kPointerBusy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

} // namespace pellorin
