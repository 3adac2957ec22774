#include "config/form_config.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "base/host.h"
#include "base/ini_file.h"
#include "app/workspace.h"
#include "main/dialog_buttons.h"
#include "main/user_locale.h"
#include "model/format.h"
#include "model/game.h"

namespace {

using tessara::TMoney;

constexpr int kPrizeRows = tessara::BallsInDraw + 1;
constexpr const char* kMsgBadSegment =
    "Некорректное значение: %s!\r\rУкажите любое число от 1 до 9";

std::string BadSegmentMessage(const QString& text) {
    std::string msg = kMsgBadSegment;
    msg.replace(msg.find("%s"), 2, text.toStdString());
    return msg;
}

bool ReadInt(const QString& text, int32_t& value) {
    return tessara::TryStrToInt(text.toStdString(), value);
}

bool IsSegmentText(const QString& text) {
    int32_t v = 0;
    return ReadInt(text, v) && v >= 1 && v <= 9;
}

// A cell that does not read as a number counts as segment 1.
uint8_t SegmentFromText(const QString& text) {
    int32_t v = 0;
    return ReadInt(text, v) && v >= 0 && v <= 255 ? static_cast<uint8_t>(v) : 1;
}

TMoney ProfitFromText(const QString& text) {
    double amount = 0;
    return tessara::TryParseFloat(text.toStdString(), amount) ? tessara::MoneyFromAmount(amount)
                                                              : 0;
}

QString AmountText(TMoney value, QChar decimalPoint) {
    return QString::fromStdString(tessara::FormatMoney(value))
        .replace(QLatin1Char(tessara::DecimalSeparator()), decimalPoint);
}

QChar DecimalPoint(const QLocale& locale) {
    const QString dp = locale.decimalPoint();
    return dp.isEmpty() ? QChar(u'.') : dp.front();
}

// An untouched spin box gives back the original value, even one outside its
// range that the box had to clamp for display.
int32_t KeptOrEdited(int32_t original, const QSpinBox* box) {
    return box->value() == std::clamp(original, box->minimum(), box->maximum()) ? original
                                                                                : box->value();
}

// Amount fields take "." as well as "," whatever the locale says.
class AmountSpinBox : public QDoubleSpinBox {
  public:
    using QDoubleSpinBox::QDoubleSpinBox;

    QValidator::State validate(QString& input, int& pos) const override {
        const QChar dp = DecimalPoint(locale());
        for (QChar& c : input)
            if (c == u'.' || c == u',') c = dp;
        return QDoubleSpinBox::validate(input, pos);
    }
};

// Cell editors that let only the given characters through; editing keys are
// handled by the line edit itself.
class FilteredDelegate : public QStyledItemDelegate {
  public:
    FilteredDelegate(const QString& allowed, QObject* parent)
        : QStyledItemDelegate(parent), allowed_(allowed) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setValidator(new QRegularExpressionValidator(allowed_, editor));
        const QVariant align = index.data(Qt::TextAlignmentRole);
        if (align.isValid()) editor->setAlignment(Qt::Alignment(align.toInt()));
        return editor;
    }

  private:
    QRegularExpression allowed_;
};

// A segment cell left with anything but 1..9 becomes "1". The complaint is
// posted rather than shown here: a message box would take the focus from the
// editor while the view is still committing it.
class SegmentDelegate : public FilteredDelegate {
  public:
    SegmentDelegate(QWidget* owner, std::function<void(const QString&)> reject)
        : FilteredDelegate(QStringLiteral("[0-9]*"), owner),
          owner_(owner),
          reject_(std::move(reject)) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const QString text = static_cast<QLineEdit*>(editor)->text();
        if (IsSegmentText(text)) {
            model->setData(index, text);
            return;
        }
        model->setData(index, QStringLiteral("1"));
        QMetaObject::invokeMethod(
            owner_, [reject = reject_, text] { reject(text); }, Qt::QueuedConnection);
    }

  private:
    QWidget* owner_;
    std::function<void(const QString&)> reject_;
};

QSpinBox* MakeSpin(QWidget* parent, const char* name, int lo, int hi, const QString& hint) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(lo, hi);
    box->setToolTip(hint);
    return box;
}

QDoubleSpinBox* MakeAmount(QWidget* parent, const char* name, int decimals, double lo,
                           const QString& hint = {}) {
    auto* box = new AmountSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setLocale(NumberLocale());
    box->setDecimals(decimals);
    box->setRange(lo, 1e12);
    box->setToolTip(hint);
    box->setMinimumWidth(110);
    return box;
}

constexpr int kSegmentCellWidth = 28;
constexpr int kSegmentCellHeight = 22;

}  // namespace

TFormConfig::TFormConfig(const tessara::TConfigData& config, tessara::Host& host, QWidget* parent,
                         const tessara::TOnlineConfig& online)
    : QDialog(parent), config_(config), host_(host), online_(online) {
    setObjectName(QStringLiteral("FormConfig"));
    setWindowTitle(QStringLiteral("Параметры системы"));

    edMatrixCol_ =
        MakeSpin(this, "edMatrixCol", 1, tessara::MaxNumber, QStringLiteral("Количество столбцов"));
    edMatrixRow_ =
        MakeSpin(this, "edMatrixRow", 1, tessara::MaxNumber, QStringLiteral("Количество строк"));
    edMatrixRow_->setReadOnly(true);
    edMatrixRow_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    edMatrixRow_->setFocusPolicy(Qt::NoFocus);
    edChannelSize_ =
        MakeSpin(this, "edChannelSize", 3, tessara::MaxNumber, QStringLiteral("Ширина канала"));
    edCost_ = MakeAmount(this, "edCost", 2, 0, QStringLiteral("Стоимость одной ставки"));
    edStakeMaxLen_ = MakeSpin(this, "edStakeMaxLen", 7, 10,
                              QStringLiteral("Максимально допустимая расширенная ставка"));

    edProfits_ = new QTableWidget(kPrizeRows, 2, this);
    edProfits_->setObjectName(QStringLiteral("edProfits"));
    edProfits_->setHorizontalHeaderLabels(
        {QStringLiteral("Совпадений"), QStringLiteral("Сумма выигрыша")});
    edProfits_->verticalHeader()->hide();
    edProfits_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    edProfits_->verticalHeader()->setDefaultSectionSize(kSegmentCellHeight);
    edProfits_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    edProfits_->horizontalHeader()->setStretchLastSection(true);
    edProfits_->setSelectionMode(QAbstractItemView::SingleSelection);
    edProfits_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edProfits_->setItemDelegateForColumn(
        1, new FilteredDelegate(QStringLiteral("[0-9.,]*"), edProfits_));
    edProfits_->setMinimumWidth(220);
    edProfits_->setFixedHeight(edProfits_->horizontalHeader()->sizeHint().height() +
                               kPrizeRows * kSegmentCellHeight + 2 * edProfits_->frameWidth());

    edCoefCount_ = MakeAmount(this, "edCoefCount", 4, -1e12);
    edCoefDeviation_ = MakeAmount(this, "edCoefDeviation", 4, -1e12);
    edCoefLevel_ = MakeAmount(this, "edCoefLevel", 4, -1e12);
    cbCoefPercents_ = new QCheckBox(QStringLiteral("Использовать значения в %"), this);
    cbCoefPercents_->setObjectName(QStringLiteral("cbCoefPercents"));
    cbCoefAbs_ = new QCheckBox(QStringLiteral("Использовать абсолютные значения"), this);
    cbCoefAbs_->setObjectName(QStringLiteral("cbCoefAbs"));

    sgSegments_ = new QTableWidget(this);
    sgSegments_->setObjectName(QStringLiteral("sgSegments"));
    sgSegments_->horizontalHeader()->hide();
    sgSegments_->verticalHeader()->hide();
    sgSegments_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgSegments_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgSegments_->horizontalHeader()->setDefaultSectionSize(kSegmentCellWidth);
    sgSegments_->verticalHeader()->setDefaultSectionSize(kSegmentCellHeight);
    sgSegments_->setSelectionMode(QAbstractItemView::SingleSelection);
    sgSegments_->setItemDelegate(
        new SegmentDelegate(this, [this](const QString& text) { SegmentRejected(text); }));
    sgSegments_->setMinimumHeight(6 * kSegmentCellHeight + 2 * sgSegments_->frameWidth() + 2);

    // The matrix size reads "columns x rows" on one line.
    auto* matrixRow = new QHBoxLayout;
    matrixRow->addWidget(edMatrixCol_);
    matrixRow->addWidget(new QLabel(QStringLiteral("x"), this));
    matrixRow->addWidget(edMatrixRow_);
    matrixRow->addStretch(1);

    auto* form = new QFormLayout;
    const auto addRow = [&](const QString& label, QWidget* field, QLayout* fieldLayout) {
        auto* caption = new QLabel(label, this);
        caption->setBuddy(field);
        if (fieldLayout)
            form->addRow(caption, fieldLayout);
        else
            form->addRow(caption, field);
    };
    addRow(QStringLiteral("Размер матрицы:"), edMatrixCol_, matrixRow);
    addRow(QStringLiteral("Размер канала:"), edChannelSize_, nullptr);
    addRow(QStringLiteral("Стоимость ставки:"), edCost_, nullptr);
    addRow(QStringLiteral("Расширенная ставка:"), edStakeMaxLen_, nullptr);

    auto* coefs = new QGroupBox(QStringLiteral(" Коэффициенты для поля \"Вес\" "), this);
    auto* coefForm = new QFormLayout;
    coefForm->addRow(QStringLiteral("Количество:"), edCoefCount_);
    coefForm->addRow(QStringLiteral("Отклонение:"), edCoefDeviation_);
    coefForm->addRow(QStringLiteral("Глубина:"), edCoefLevel_);
    auto* coefLayout = new QVBoxLayout(coefs);
    coefLayout->addLayout(coefForm);
    coefLayout->addWidget(cbCoefPercents_);
    coefLayout->addWidget(cbCoefAbs_);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(coefs);
    left->addStretch(1);

    auto* profitsLabel = new QLabel(QStringLiteral("Размеры выигрышей:"), this);
    profitsLabel->setBuddy(edProfits_);
    auto* right = new QVBoxLayout;
    right->addWidget(profitsLabel);
    right->addWidget(edProfits_);
    right->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addSpacing(12);
    top->addLayout(right, 1);

    auto* segmentsLabel = new QLabel(QStringLiteral("Сегменты матрицы:"), this);
    segmentsLabel->setBuddy(sgSegments_);

    auto* buttons = OkCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));

    auto* general = new QWidget(this);
    auto* layout = new QVBoxLayout(general);
    layout->addLayout(top);
    layout->addWidget(segmentsLabel);
    layout->addWidget(sgSegments_, 1);

    // The addresses of the online services and who the catalogue requests
    // name; the installation identifier is made by the program.
    auto* addresses = new QWidget(this);
    auto* addressForm = new QFormLayout(addresses);
    const auto addressField = [&](const char* name, const QString& label, const std::string& value,
                                  const QString& hint) {
        auto* edit = new QLineEdit(QString::fromStdString(value), addresses);
        edit->setObjectName(QLatin1String(name));
        edit->setToolTip(hint);
        addressForm->addRow(label, edit);
        return edit;
    };
    edDrawsSite_ = addressField("edDrawsSite", QStringLiteral("Сайт лотереи:"), online_.DrawsSite,
                                QStringLiteral("Адрес сайта с архивом тиражей"));
    edProxyListUrl_ = addressField("edProxyListUrl", QStringLiteral("Список proxy-серверов:"),
                                   online_.ProxyListUrl,
                                   QStringLiteral("Адрес службы списков proxy-серверов"));
    edServerUrl_ = addressField("edServerUrl", QStringLiteral("Сервер каталогов:"),
                                online_.ServerUrl,
                                QStringLiteral("Адрес сервера online-каталогов, например http://host:8642"));
    edUserName_ = addressField("edUserName", QStringLiteral("Имя пользователя:"), online_.UserName,
                               QStringLiteral("Имя автора в online-каталогах"));
    edUserMail_ = addressField("edUserMail", QStringLiteral("E-mail:"), online_.UserMail,
                               QStringLiteral("Адрес электронной почты пользователя"));
    QLineEdit* installId = addressField("edInstallId", QStringLiteral("Код установки:"),
                                        online_.InstallId,
                                        QStringLiteral("Идентификатор этой установки программы"));
    installId->setReadOnly(true);

    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("pcConfig"));
    pages->addTab(general, QStringLiteral("Общие"));
    pages->addTab(addresses, QStringLiteral("Сетевые адреса"));
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(pages, 1);
    outer->addWidget(buttons);

    // Fill before connecting, so that the start values are not edits.
    edMatrixCol_->setValue(config_.MatrixCols);
    edMatrixRow_->setValue(tessara::MatrixRowCount(1, tessara::MaxNumber, edMatrixCol_->value()));
    edChannelSize_->setValue(config_.ChannelSize);
    edCost_->setValue(static_cast<double>(config_.Cost) / tessara::MoneyScale);
    edStakeMaxLen_->setValue(config_.MaxStake);
    edCoefCount_->setValue(config_.Coefs.Count);
    edCoefDeviation_->setValue(config_.Coefs.Deviation);
    edCoefLevel_->setValue(config_.Coefs.Level);
    cbCoefPercents_->setChecked(config_.Coefs.UsePercents);
    cbCoefAbs_->setChecked(config_.Coefs.UseAbsValues);
    costShown_ = edCost_->value();
    coefShown_[0] = edCoefCount_->value();
    coefShown_[1] = edCoefDeviation_->value();
    coefShown_[2] = edCoefLevel_->value();
    FillProfits();
    QStringList segments;
    for (uint8_t s : config_.MatrixSegments) segments << QString::number(s);
    LayoutSegments(edMatrixCol_->value(), segments);

    connect(edMatrixCol_, &QSpinBox::valueChanged, this, [this](int cols) {
        edMatrixRow_->setValue(tessara::MatrixRowCount(1, tessara::MaxNumber, cols));
        LayoutSegments(cols, SegmentTexts());
    });
}

QString TFormConfig::PrizeRowText(int row, TMoney profit, QChar decimalPoint) {
    return QString::number(row) + u'=' + AmountText(profit, decimalPoint);
}

void TFormConfig::FillProfits() {
    const QChar dp = QLatin1Char(tessara::DecimalSeparator());
    for (int i = 0; i < kPrizeRows; ++i) {
        const TMoney profit =
            i < static_cast<int>(config_.Profits.size()) ? config_.Profits[i].Profit : 0;
        auto* name = new QTableWidgetItem(QString::number(i));
        name->setFlags(Qt::ItemIsEnabled);
        name->setTextAlignment(Qt::AlignCenter);
        edProfits_->setItem(i, 0, name);
        auto* value = new QTableWidgetItem(AmountText(profit, dp));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edProfits_->setItem(i, 1, value);
    }
}

void TFormConfig::LayoutSegments(int cols, const QStringList& values) {
    const int rows = tessara::MatrixRowCount(1, tessara::MaxNumber, cols);
    sgSegments_->clear();
    sgSegments_->setColumnCount(cols);
    sgSegments_->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const int n = tessara::MatrixNumberAt(1, r, c, cols);
            auto* cell = new QTableWidgetItem;
            if (n <= tessara::MaxNumber) {
                cell->setText(values.value(n - 1, QStringLiteral("1")));
                cell->setTextAlignment(Qt::AlignCenter);
                cell->setToolTip(QString::number(n));
            } else {
                cell->setFlags(Qt::NoItemFlags);
            }
            sgSegments_->setItem(r, c, cell);
        }
    }
    sgSegments_->setCurrentCell(0, 0);
}

QStringList TFormConfig::SegmentTexts() const {
    const int cols = sgSegments_->columnCount();
    QStringList texts;
    for (int n = 1; n <= tessara::MaxNumber; ++n) {
        const auto [c, r] = tessara::MatrixPosition(1, cols, n);
        const QTableWidgetItem* cell = sgSegments_->item(r, c);
        texts << (cell ? cell->text() : QString());
    }
    return texts;
}

void TFormConfig::SegmentRejected(const QString& text) {
    host_.ShowMessage(tessara::MessageKind::Error, BadSegmentMessage(text));
}

tessara::TConfigData TFormConfig::Result() const {
    tessara::TConfigData r = config_;
    r.MatrixCols = KeptOrEdited(config_.MatrixCols, edMatrixCol_);
    r.ChannelSize = KeptOrEdited(config_.ChannelSize, edChannelSize_);
    r.MaxStake = KeptOrEdited(config_.MaxStake, edStakeMaxLen_);
    if (edCost_->value() != costShown_) r.Cost = tessara::MoneyFromAmount(edCost_->value());
    if (edCoefCount_->value() != coefShown_[0]) r.Coefs.Count = edCoefCount_->value();
    if (edCoefDeviation_->value() != coefShown_[1]) r.Coefs.Deviation = edCoefDeviation_->value();
    if (edCoefLevel_->value() != coefShown_[2]) r.Coefs.Level = edCoefLevel_->value();
    r.Coefs.UsePercents = cbCoefPercents_->isChecked();
    r.Coefs.UseAbsValues = cbCoefAbs_->isChecked();

    r.Profits.clear();
    for (int i = 0; i < kPrizeRows; ++i) {
        int32_t overlap = 0;
        if (!ReadInt(edProfits_->item(i, 0)->text(), overlap)) overlap = 0;
        r.Profits.push_back(
            {static_cast<uint8_t>(overlap), ProfitFromText(edProfits_->item(i, 1)->text())});
    }

    const QStringList segments = SegmentTexts();
    for (int i = 0; i < tessara::MaxNumber; ++i)
        r.MatrixSegments[static_cast<size_t>(i)] = SegmentFromText(segments[i]);
    return r;
}

tessara::TOnlineConfig TFormConfig::OnlineResult() const {
    tessara::TOnlineConfig o = online_;
    o.DrawsSite = edDrawsSite_->text().trimmed().toStdString();
    o.ProxyListUrl = edProxyListUrl_->text().trimmed().toStdString();
    o.ServerUrl = edServerUrl_->text().trimmed().toStdString();
    o.UserName = edUserName_->text().trimmed().toStdString();
    o.UserMail = edUserMail_->text().trimmed().toStdString();
    return o;
}

bool TFormConfig::Edit(QWidget* parent, tessara::Workspace& ws) {
    TFormConfig form(ws.Config(), ws.GetHost(), parent, ws.Online().Settings());
    if (form.exec() != QDialog::Accepted) return false;
    ws.ApplyConfig(form.Result());
    const tessara::TOnlineConfig online = form.OnlineResult();
    if (!(online == ws.Online().Settings())) ws.Online().SetSettings(online);
    return true;
}
