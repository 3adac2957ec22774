#include "systems/form_system.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "main/file_dialogs.h"
#include "base/host.h"
#include "model/dates.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "online/script_library.h"
#include "online/system_files.h"
#include "online/wheel_check.h"

namespace {

QLineEdit* NumberField(const char* name, int value) {
    auto* e = new QLineEdit(QString::number(value));
    e->setObjectName(QString::fromLatin1(name));
    e->setMaximumWidth(60);
    return e;
}

QLabel* ValueLabel(const char* name, const QString& text) {
    auto* l = new QLabel(text);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QString DateText(tessara::TDateTime dt) { return QString::fromStdString(tessara::FormatScriptDate(dt)); }

int FieldValue(const QLineEdit* e) {
    bool ok = false;
    const int v = e->text().toInt(&ok);
    return ok ? v : -1;
}

}  // namespace

TFormSystem::TFormSystem(tessara::Host& host, const tessara::tSystemData& data, bool readOnly,
                         QWidget* parent)
    : QDialog(parent), host_(host), data_(data), readOnly_(readOnly) {
    setObjectName(QStringLiteral("FormSystem"));
    setWindowTitle(QStringLiteral("Система"));

    edTitle_ = new QLineEdit(QString::fromStdString(data.title));
    edTitle_->setObjectName(QStringLiteral("edTitle"));
    edDescr_ = new QPlainTextEdit(QString::fromStdString(data.description));
    edDescr_->setObjectName(QStringLiteral("edDescr"));
    edDescr_->setMaximumHeight(80);
    edAuthor_ = new QLineEdit(QString::fromStdString(data.author));
    edAuthor_->setObjectName(QStringLiteral("edAuthor"));
    edURL_ = new QLineEdit(QString::fromStdString(data.url));
    edURL_->setObjectName(QStringLiteral("edURL"));
    btnURL_ = new QPushButton(QStringLiteral("Открыть ссылку в браузере"));
    // The link field gives way first; the button keeps its whole caption.
    btnURL_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    btnURL_->setObjectName(QStringLiteral("btnURL"));
    connect(btnURL_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromUserInput(edURL_->text().trimmed())); });
    const auto urlState = [this] { btnURL_->setEnabled(!edURL_->text().trimmed().isEmpty()); };
    connect(edURL_, &QLineEdit::textChanged, this, urlState);
    urlState();

    edCombs_ = new QPlainTextEdit(QString::fromStdString(data.clist));
    edCombs_->setObjectName(QStringLiteral("edCombs"));
    edCombs_->setLineWrapMode(QPlainTextEdit::NoWrap);
    edCombs_->setFont(QFont(QStringLiteral("Monospace")));
    edCombs_->setContextMenuPolicy(Qt::CustomContextMenu);
    edCombs_->installEventFilter(this);
    connect(edCombs_, &QWidget::customContextMenuRequested, this, &TFormSystem::ShowCombsMenu);

    edNums_ = NumberField("edNums", data.nums);
    edCLen_ = NumberField("edCLen", tessara::SystemsClen);
    edCLen_->setReadOnly(true);
    edOlap_ = NumberField("edOlap", data.olap);
    for (QLineEdit* e : {edNums_, edOlap_}) e->installEventFilter(this);
    lbCreated_ = ValueLabel("lbCreated", DateText(data.created));
    lbCSize_ = ValueLabel("lbCSize", QString::number(data.csize));
    lbDownloads_ = ValueLabel("lbDownloads", QString::number(data.downloads));
    lbLast_ = ValueLabel("lbLast", DateText(data.lastDownload));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Наименование:"), edTitle_);
    form->addRow(QStringLiteral("Описание:"), edDescr_);
    form->addRow(QStringLiteral("Автор:"), edAuthor_);
    auto* url = new QHBoxLayout;
    url->addWidget(edURL_, 1);
    url->addWidget(btnURL_);
    form->addRow(QStringLiteral("Ссылка:"), url);

    auto* numbers = new QGridLayout;
    int row = 0;
    for (const auto& [caption, w] : std::initializer_list<std::pair<const char*, QWidget*>>{
             {"Числа:", edNums_}, {"Длина:", edCLen_}, {"Блок:", edOlap_},
             {"Создана:", lbCreated_}, {"Комбинаций:", lbCSize_}, {"Загрузок:", lbDownloads_},
             {"Последняя:", lbLast_}}) {
        numbers->addWidget(new QLabel(QString::fromUtf8(caption)), row, 0);
        numbers->addWidget(w, row, 1);
        ++row;
    }
    numbers->setRowStretch(row, 1);

    // The wheel check: rows m = 1..6; the guarantee, then for each t above
    // it the subsets that reach fewer than t of their m on any line.
    sgWheel_ = new QTableWidget(tessara::TWheelCheck::MaxM, 8);
    sgWheel_->setObjectName(QStringLiteral("sgWheel"));
    QStringList heads = {QStringLiteral("Подмножеств"), QStringLiteral("Гарантия")};
    for (int t = 1; t <= tessara::TWheelCheck::MaxM; ++t) heads << QStringLiteral("< %1").arg(t);
    sgWheel_->setHorizontalHeaderLabels(heads);
    QStringList rows;
    for (int m = 1; m <= tessara::TWheelCheck::MaxM; ++m) rows << QStringLiteral("%1 из n").arg(m);
    sgWheel_->setVerticalHeaderLabels(rows);
    sgWheel_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgWheel_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // All six rows in view: the table is read at a glance, never scrolled.
    sgWheel_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgWheel_->verticalHeader()->setDefaultSectionSize(sgWheel_->fontMetrics().height() + 6);
    sgWheel_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgWheel_->setFixedHeight(sgWheel_->horizontalHeader()->sizeHint().height() +
                             tessara::TWheelCheck::MaxM * sgWheel_->verticalHeader()->defaultSectionSize() +
                             2 * sgWheel_->frameWidth() + sgWheel_->horizontalScrollBar()->sizeHint().height());
    sgWheel_->setToolTip(QStringLiteral(
        "Гарантия: сколько из любых m выбранных позиций всегда найдётся на одной строке системы.\n"
        "\"< t\": сколько наборов из m позиций (и какая их доля) не дают t совпадений ни на одной строке."));
    lbPositions_ = new QLabel;
    lbPositions_->setObjectName(QStringLiteral("lbPositions"));
    lbPositions_->setWordWrap(true);
    wheelTimer_.setSingleShot(true);
    wheelTimer_.setInterval(300);
    connect(&wheelTimer_, &QTimer::timeout, this, &TFormSystem::RefreshWheel);
    connect(edCombs_, &QPlainTextEdit::textChanged, this, [this] { wheelTimer_.start(); });
    connect(edNums_, &QLineEdit::textChanged, this, [this] { wheelTimer_.start(); });

    auto* middle = new QHBoxLayout;
    auto* combsBox = new QVBoxLayout;
    combsBox->addWidget(new QLabel(QStringLiteral("Список комбинаций:")));
    combsBox->addWidget(edCombs_, 1);
    middle->addLayout(combsBox, 1);
    middle->addLayout(numbers);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(middle, 1);
    layout->addWidget(new QLabel(QStringLiteral("Проверка гарантии системы:")));
    layout->addWidget(sgWheel_);
    layout->addWidget(lbPositions_);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOk"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    if (readOnly_) {
        for (QLineEdit* e : {edTitle_, edAuthor_, edURL_, edNums_, edOlap_}) e->setReadOnly(true);
        edDescr_->setReadOnly(true);
        edCombs_->setReadOnly(true);
        ok->hide();
        cancel->setDefault(true);
    }
    resize(760, 720);
    RefreshWheel();
}

bool TFormSystem::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edCombs_ && event->type() == QEvent::FocusOut && !readOnly_) Normalise();
    if ((watched == edNums_ || watched == edOlap_) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const bool digit = text.size() == 1 && text[0].isDigit();
        const bool passes = digit || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                            key->key() == Qt::Key_Escape || key->key() == Qt::Key_Backspace ||
                            key->key() == Qt::Key_Delete || key->key() == Qt::Key_Left ||
                            key->key() == Qt::Key_Right || key->key() == Qt::Key_Home ||
                            key->key() == Qt::Key_End || key->key() == Qt::Key_Tab ||
                            key->key() == Qt::Key_Backtab || key->matches(QKeySequence::Copy) ||
                            key->matches(QKeySequence::SelectAll);
        if (!passes) {
            QApplication::beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormSystem::CombsTidy() const {
    std::vector<std::string> lines;
    for (const QString& l : edCombs_->toPlainText().split(QLatin1Char('\n')))
        lines.push_back(l.toStdString());
    QStringList out;
    for (const std::string& l : tessara::NormaliseSystemCombs(lines).Lines) out << QString::fromStdString(l);
    return out.join(QLatin1Char('\n')) == edCombs_->toPlainText();
}

void TFormSystem::Normalise() {
    std::vector<std::string> lines;
    for (const QString& l : edCombs_->toPlainText().split(QLatin1Char('\n')))
        lines.push_back(l.toStdString());
    const tessara::TNormalisedCombs r = tessara::NormaliseSystemCombs(lines);
    QStringList out;
    for (const std::string& l : r.Lines) out << QString::fromStdString(l);
    const QString text = out.join(QLatin1Char('\n'));
    if (text != edCombs_->toPlainText()) edCombs_->setPlainText(text);
    edNums_->setText(QString::number(r.Nums));
    lbCSize_->setText(QString::number(static_cast<qlonglong>(r.Lines.size())));
}

void TFormSystem::ShowCombsMenu(const QPoint& pos) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("Копировать в буфер обмена"), this, [this] {
        QString sel = edCombs_->textCursor().selectedText();
        QApplication::clipboard()->setText(sel.isEmpty() ? edCombs_->toPlainText()
                                                         : sel.replace(QChar(0x2029), QLatin1Char('\n')));
    });
    QAction* paste = menu.addAction(QStringLiteral("Вставить из буфера обмена"), this,
                                    [this] { edCombs_->paste(); });
    menu.addAction(QStringLiteral("Выделить все"), this, [this] { edCombs_->selectAll(); });
    menu.addSeparator();
    QAction* load = menu.addAction(QStringLiteral("Загрузить из файла"), this, &TFormSystem::LoadCombs);
    menu.addAction(QStringLiteral("Сохранить в файле"), this, &TFormSystem::SaveCombs);
    copy->setEnabled(!edCombs_->toPlainText().isEmpty());
    paste->setEnabled(!readOnly_);
    load->setEnabled(!readOnly_);
    menu.exec(edCombs_->viewport()->mapToGlobal(pos));
}

void TFormSystem::LoadCombs() {
    const QString path =
        ChooseFile(this, {.Title = QStringLiteral("Загрузить из файла"),
                          .Filter = QStringLiteral("Системы (*.dat *.txt);;Все файлы (*)")});
    if (path.isEmpty()) return;
    try {
        edCombs_->setPlainText(QString::fromStdString(
            tessara::Cp1251ToUtf8(tessara::ReadFileBytes(path.toStdString()))));
        Normalise();
    } catch (const tessara::Error& e) {
        host_.ShowError("Ошибка чтения файла \"" + path.toStdString() + "\"!\r\r" + e.what());
    }
}

void TFormSystem::SaveCombs() {
    const QString path =
        ChooseFile(this, {.Title = QStringLiteral("Сохранить в файле"),
                          .Filter = QStringLiteral("Системы (*.dat *.txt);;Все файлы (*)"),
                          .Save = true});
    if (path.isEmpty()) return;
    std::string text;
    for (const QString& l : edCombs_->toPlainText().split(QLatin1Char('\n')))
        if (!l.isEmpty()) text += tessara::Utf8ToCp1251(l.toStdString()) + "\r\n";
    try {
        tessara::WriteFileAtomic(path.toStdString(), text);
    } catch (const tessara::Error& e) {
        host_.ShowError("Ошибка записи файла \"" + path.toStdString() + "\"!\r\r" + e.what());
    }
}

TFormSystem::~TFormSystem() { StopWheel(); }

void TFormSystem::StopWheel() {
    if (wheelStop_) wheelStop_->store(true);
    if (wheelThread_.joinable()) wheelThread_.join();
    wheelStop_.reset();
}

void TFormSystem::RefreshWheel() {
    StopWheel();
    // Only the lines that read as six positions count; the rest waits for
    // the normalisation.
    std::vector<std::array<int, 6>> lines;
    int largest = 0;
    for (const QString& l : edCombs_->toPlainText().split(QLatin1Char('\n'))) {
        if (l.trimmed().isEmpty()) continue;
        try {
            const std::array<int, 6> p = tessara::ParseSystemLine(l.toStdString());
            if (*std::min_element(p.begin(), p.end()) < 1) continue;
            largest = std::max(largest, *std::max_element(p.begin(), p.end()));
            lines.push_back(p);
        } catch (const tessara::Error&) {
        }
    }
    const int typed = FieldValue(edNums_);
    const int n = std::max(largest, typed > 0 && typed <= 64 ? typed : 0);
    for (int r = 0; r < sgWheel_->rowCount(); ++r)
        for (int c = 0; c < sgWheel_->columnCount(); ++c) sgWheel_->setItem(r, c, new QTableWidgetItem);
    lbPositions_->clear();
    if (lines.empty() || n < 1 || n > 64) return;
    // A system of thousands of lines over many positions takes seconds: the
    // check runs beside the dialog, and a newer text stops an older check.
    lbPositions_->setText(QStringLiteral("Проверка гарантии системы..."));
    const int generation = ++wheelGeneration_;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    wheelStop_ = stop;
    wheelThread_ = std::thread([this, lines = std::move(lines), n, stop, generation] {
        auto result = std::make_shared<tessara::TWheelCheck>();
        try {
            *result = tessara::CheckWheel(lines, n, 0, stop.get());
        } catch (const tessara::Error&) {
            result.reset();
        }
        if (stop->load()) return;
        QMetaObject::invokeMethod(
            this, [this, result, generation] {
                if (generation == wheelGeneration_) ShowWheel(result.get());
            },
            Qt::QueuedConnection);
    });
}

void TFormSystem::ShowWheel(const tessara::TWheelCheck* check) {
    lbPositions_->clear();
    if (!check) return;
    const tessara::TWheelCheck& w = *check;
    for (int m = 1; m <= tessara::TWheelCheck::MaxM; ++m) {
        if (!w.Has(m)) continue;
        const int r = m - 1;
        const int g = w.Guarantee(m);
        sgWheel_->item(r, 0)->setText(QString::number(static_cast<qulonglong>(w.Subsets[m])));
        sgWheel_->item(r, 1)->setText(QStringLiteral("%1 из %2").arg(g).arg(m));
        for (int t = g + 1; t <= m; ++t)
            sgWheel_->item(r, 1 + t)->setText(
                QStringLiteral("%1 (%2%)")
                    .arg(static_cast<qulonglong>(w.Holes(m, t)))
                    .arg(100.0 * w.HoleShare(m, t), 0, 'f', 2));
    }
    QStringList counts;
    for (size_t p = 0; p < w.PositionCounts.size(); ++p)
        counts << QStringLiteral("%1:%2").arg(p + 1, 2, 10, QLatin1Char('0')).arg(w.PositionCounts[p]);
    lbPositions_->setText(QStringLiteral("Позиции (n = %1): ").arg(w.Positions) + counts.join(QLatin1Char(' ')));
}

tessara::tSystemData TFormSystem::Result() const {
    tessara::tSystemData d = data_;
    d.title = edTitle_->text().trimmed().toStdString();
    d.description = edDescr_->toPlainText().toStdString();
    d.author = edAuthor_->text().trimmed().toStdString();
    d.url = edURL_->text().trimmed().toStdString();
    d.nums = static_cast<uint8_t>(std::clamp(FieldValue(edNums_), 0, 255));
    d.olap = static_cast<uint8_t>(std::clamp(FieldValue(edOlap_), 0, 255));
    QStringList lines;
    for (const QString& l : edCombs_->toPlainText().split(QLatin1Char('\n')))
        if (!l.trimmed().isEmpty()) lines << l;
    d.clist = lines.join(QStringLiteral("\r\n")).toStdString();
    d.csize = static_cast<int32_t>(lines.size());
    if (d.created <= 0) d.created = tessara::Now();
    return d;
}

void TFormSystem::accept() {
    // OK leaves the editor as a click elsewhere does; a list already tidy
    // keeps the count of numbers the user typed after leaving it.
    if (!readOnly_ && !CombsTidy()) Normalise();
    tessara::tSystemData d = Result();
    // Out-of-range typed values must be refused, not wrapped into a byte.
    const int nums = FieldValue(edNums_), olap = FieldValue(edOlap_);
    if (nums < 0 || nums > 255) d.nums = 0;
    if (olap < 0 || olap > 255) d.olap = 255;
    std::string message;
    const tessara::TSystemField field = tessara::CheckSystemFields(d, message);
    QWidget* focus = nullptr;
    switch (field) {
        case tessara::TSystemField::None: QDialog::accept(); return;
        case tessara::TSystemField::Title: focus = edTitle_; break;
        case tessara::TSystemField::Nums: focus = edNums_; break;
        case tessara::TSystemField::Olap: focus = edOlap_; break;
        case tessara::TSystemField::Author: focus = edAuthor_; break;
        case tessara::TSystemField::Descr: focus = edDescr_; break;
        case tessara::TSystemField::Combs: focus = edCombs_; break;
    }
    host_.ShowMessage(tessara::MessageKind::Warning, message);
    if (focus) focus->setFocus();
}

bool TFormSystem::Edit(QWidget* parent, tessara::Host& host, tessara::tSystemData& data, bool readOnly) {
    TFormSystem form(host, data, readOnly, parent);
    if (form.exec() != QDialog::Accepted) return false;
    if (!readOnly) data = form.Result();
    return !readOnly;
}
