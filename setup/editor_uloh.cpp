// EditorUloh: the editor panel and grid of one task kind, and the insert and update of its rows in ulohy.
#include "setup/editor_uloh.h"

#include <limits>

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "core/db/statement.h"
#include "platform/local_time.h"
#include "setup/dialogs.h"
#include "setup/handler_guard.h"
#include "setup/ulohy_grid.h"
#include "setup/ulohy_model.h"

namespace dorvik::setup {
namespace {

QString t(const char* utf8) { return QString::fromUtf8(utf8); }

// Column titles in field order: id, druh, zprava, uzivatele, kam, dni, cas, zalozeno, platnostdo, aktivni, doemailu, dochatu.
std::array<QString, kPocetPoli> titulky(bool zakazky) {
  return {QString(), QString(), t("zpráva"), t("uživatelé"), QString(), t("dní"), t("čas"),
          zakazky ? QString() : t("založeno"), t("platnost do"), t("aktivní"), t("do emailu"), t("do chatu")};
}

DateTime naDateTime(const QDate& d, const QTime& time) {
  return DateTime{d.year(), d.month(), d.day(), time.hour(), time.minute(), time.second(), time.msec()};
}

QLabel* popisek(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setBuddy(buddy);
  return l;
}

}  // namespace

const DruhUlohy& druhZakazky() {
  static const DruhUlohy d{"zakazka",
                           "dnizakazkyse", "zpravazakm", "uzivatelezakle", "uzakb", "zaktp", "aktivnizakchb",
                           "doemailuzakchb", "dochatuzakchb", "platnostdozakdtp", "zakidl", "zakpridatb", "zakzrusitb",
                           "zakazkygrid", t("uživatelům"),
                           t("Pokud zbývá k vyřízení zakázky méně než "), t("dní, potom poslat následující zprávu:"),
                           t("kontrolovat v čase"), QTime(0, 10), false};
  return d;
}

const DruhUlohy& druhZarizeni() {
  static const DruhUlohy d{"zarizeni",
                           "dnizarizenise", "zpravazarm", "uzivatelezarle", "uzarb", "zartp", "aktivnizarchb",
                           "doemailuzarchb", "dochatuzarchb", "platnostdozardtp", "zaridl", "zarpridatb", "zarzrusitb",
                           "zarizenigrid", t("uživatelům"),
                           t("Pokud zbývá do servisu zařízení méně než "), t("dní, potom poslat následující zprávu:"),
                           t("kontrolovat v čase"), QTime(0, 20), false};
  return d;
}

const DruhUlohy& druhZalohovani() {
  static const DruhUlohy d{"zalohovani",
                           "", "", "uzalohovanile", "zalohovanib", "zalohadbtp", "aktivnizalohachb",
                           "doemailuzalohachb", "dochatuzalohachb", "platnostzaldodtp", "zalidl", "zalpridatb",
                           "zalzrusitb", "zalohovanigrid", t("informovat uživatele"), QString(), QString(),
                           t("provést v čase"), QTime(0, 30), true};
  return d;
}

QString orizni(const QString& text) {
  qsizetype start = 0, end = text.size();
  while (start < end && text[start].unicode() <= 32) ++start;
  while (end > start && text[end - 1].unicode() <= 32) --end;
  return text.mid(start, end - start);
}

EditorUloh::EditorUloh(const DruhUlohy& druh, db::Connection& con, Dialogs& dialogs, std::function<bool()> pripoj,
                       QWidget* parent)
    : QWidget(parent), druh_(druh), con_(con), dialogs_(dialogs), pripoj_(std::move(pripoj)) {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("editor"));
  auto* g = new QGridLayout(panel);
  int row = 0;

  auto name = [](QWidget* w, const char* n) {
    w->setObjectName(QString::fromLatin1(n));
    return w;
  };

  if (!druh.zalohy) {
    dni_ = new QSpinBox(panel);
    name(dni_, druh.dni);
    dni_->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    auto* veta = new QHBoxLayout;
    veta->addWidget(popisek(druh.vetaPred, dni_, panel));
    veta->addWidget(dni_);
    veta->addWidget(new QLabel(druh.vetaPo, panel));
    veta->addStretch();
    g->addLayout(veta, row++, 0, 1, 4);
    zprava_ = new QPlainTextEdit(panel);
    name(zprava_, druh.zprava);
    zprava_->setTabChangesFocus(true);
    // Five lines are enough to write in; the rest of the tab belongs to the grid.
    zprava_->setMaximumHeight(zprava_->fontMetrics().lineSpacing() * 5 + 12);
    g->addWidget(zprava_, row++, 0, 1, 4);
  } else {
    uspech_ = new QLineEdit(panel);
    name(uspech_, "uspechle");
    neuspech_ = new QLineEdit(panel);
    name(neuspech_, "neuspechle");
    g->addWidget(popisek(t("zpráva při úspěchu"), uspech_, panel), row, 0);
    g->addWidget(uspech_, row++, 1, 1, 3);
    g->addWidget(popisek(t("zpráva při selhání"), neuspech_, panel), row, 0);
    g->addWidget(neuspech_, row++, 1, 1, 3);
  }

  uzivatele_ = new QLineEdit(panel);
  name(uzivatele_, druh.uzivatele);
  vybrat_ = new QPushButton(t("vybrat"), panel);
  name(vybrat_, druh.vybrat);
  auto* prijemci = new QHBoxLayout;
  prijemci->addWidget(uzivatele_, 1);
  prijemci->addWidget(vybrat_);
  g->addWidget(popisek(druh.uzivatelePopisek, uzivatele_, panel), row, 0);
  g->addLayout(prijemci, row++, 1, 1, 3);

  if (druh.zalohy) {
    uzle_ = new QLineEdit(panel);
    name(uzle_, "uzle");
    vybratUz_ = new QPushButton(t("vybrat"), panel);
    name(vybratUz_, "vybratuzalohyb");
    vybratUz_->setToolTip(t("vybrat"));
    testUz_ = new QPushButton(t("test"), panel);
    name(testUz_, "testuzalohyb");
    g->addWidget(popisek(t("umístění záloh dostupné pro službu sql serveru"), uzle_, panel), row++, 0, 1, 4);
    auto* radek = new QHBoxLayout;
    radek->addWidget(uzle_, 1);
    radek->addWidget(vybratUz_);
    radek->addWidget(testUz_);
    g->addLayout(radek, row++, 0, 1, 4);
  }

  cas_ = new QTimeEdit(panel);
  name(cas_, druh.cas);
  cas_->setDisplayFormat(QStringLiteral("h:mm"));
  platnost_ = new QDateEdit(panel);
  name(platnost_, druh.platnost);
  platnost_->setCalendarPopup(true);
  platnost_->setDisplayFormat(QStringLiteral("d.M.yyyy"));
  g->addWidget(popisek(druh.casPopisek, cas_, panel), row, 0);
  g->addWidget(cas_, row, 1);
  g->addWidget(popisek(t("platnost do"), platnost_, panel), row, 2, Qt::AlignRight);
  g->addWidget(platnost_, row++, 3);

  aktivni_ = new QCheckBox(t("aktivní úloha"), panel);
  name(aktivni_, druh.aktivni);
  doemailu_ = new QCheckBox(t("do emailu"), panel);
  name(doemailu_, druh.doemailu);
  dochatu_ = new QCheckBox(t("do chatu"), panel);
  name(dochatu_, druh.dochatu);
  auto* volby = new QHBoxLayout;
  volby->addWidget(aktivni_);
  volby->addWidget(doemailu_);
  volby->addWidget(dochatu_);
  volby->addStretch();
  id_ = new QLabel(QStringLiteral("0"), panel);
  name(id_, druh.id);
  id_->setProperty("small", true);
  volby->addWidget(id_);
  zrusitb_ = new QPushButton(t("zrušit"), panel);
  name(zrusitb_, druh.zrusit);
  pridatb_ = new QPushButton(t("přidat"), panel);
  name(pridatb_, druh.pridat);
  volby->addWidget(zrusitb_);
  volby->addWidget(pridatb_);
  g->addLayout(volby, row++, 0, 1, 4);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);

  const std::string sql = std::string("select * from ulohy where druh='") + druh.druh + "'";
  // The order grid is read-only; devices and backups are edited in place.
  const bool readOnly = std::string_view(druh.druh) == "zakazka";
  model_ = new UlohyModel(con, sql, titulky(readOnly), readOnly, this);
  grid_ = new UlohyGrid(QString::fromLatin1(druh.grid), model_, readOnly, dialogs, this);
  grid_->setColumnHidden(static_cast<int>(Pole::id), true);
  grid_->setColumnHidden(static_cast<int>(Pole::druh), true);
  grid_->setColumnHidden(static_cast<int>(Pole::kam), true);
  grid_->setColumnHidden(static_cast<int>(Pole::zalozeno), true);
  grid_->setColumnHidden(static_cast<int>(Pole::dni), druh.zalohy);
  grid_->setColumnWidth(static_cast<int>(Pole::zprava), 100);
  grid_->setColumnWidth(static_cast<int>(Pole::uzivatele), druh.zalohy ? 80 : 100);
  for (Pole p : {Pole::dni, Pole::cas, Pole::aktivni, Pole::doemailu, Pole::dochatu}) {
    grid_->setColumnWidth(static_cast<int>(p), 72);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addWidget(grid_, 1);

  connect(pridatb_, &QPushButton::clicked, this, [this] { obsluha(dialogs_, [this] { pridat(); }); });
  connect(zrusitb_, &QPushButton::clicked, this, &EditorUloh::zrusit);
  connect(grid_, &UlohyGrid::dvojklik, this, &EditorUloh::dvojklik);
  vymaz();
}

void EditorUloh::vymaz() {
  if (druh_.zalohy) {
    uzivatele_->clear();
    uspech_->clear();
    neuspech_->clear();
  } else {
    zprava_->clear();
    uzivatele_->clear();
    dni_->setValue(0);
  }
  doemailu_->setChecked(true);
  dochatu_->setChecked(true);
  aktivni_->setChecked(true);
  cas_->setTime(druh_.vychoziCas);
  platnost_->setDate(QDate::currentDate().addDays(365));
  id_->setText(QStringLiteral("0"));
  pridatb_->setText(t("přidat"));
  zrusitb_->hide();
}

void EditorUloh::zobrazeno() {
  if (id_->text() == QLatin1String("0")) platnost_->setDate(QDate::currentDate().addDays(365));
}

void EditorUloh::dvojklik() {
  if (model_->rowCount() == 0) return;
  const int row = std::max(grid_->currentIndex().row(), 0);
  auto text = [&](Pole p) { return QString::fromStdString(model_->hodnota(row, p).asText()); };
  id_->setText(text(Pole::id));
  if (!druh_.zalohy) {
    dni_->setValue(static_cast<int>(model_->hodnota(row, Pole::dni).asInt()));
    zprava_->setPlainText(text(Pole::zprava));
    uzivatele_->setText(text(Pole::uzivatele));
  } else {
    uzle_->setText(text(Pole::kam));
    uzivatele_->setText(text(Pole::uzivatele));
    const QString zprava = text(Pole::zprava);
    if (zprava.contains(QLatin1Char('~'))) {
      const QStringList kusy = zprava.split(QLatin1Char('~'));
      uspech_->setText(kusy.value(0));
      neuspech_->setText(kusy.value(1));
    } else {
      // No success text stored: the field shows none rather than one left from another task.
      uspech_->clear();
      neuspech_->setText(zprava);
    }
  }
  doemailu_->setChecked(model_->hodnota(row, Pole::doemailu).asBool());
  dochatu_->setChecked(model_->hodnota(row, Pole::dochatu).asBool());
  aktivni_->setChecked(model_->hodnota(row, Pole::aktivni).asBool());
  if (const auto& c = model_->hodnota(row, Pole::cas); !c.isNull()) {
    const DateTime v = c.asDateTime();
    cas_->setTime(QTime(v.hour, v.minute, v.second));
  }
  if (const auto& p = model_->hodnota(row, Pole::platnostdo); !p.isNull()) {
    const DateTime v = p.asDateTime();
    platnost_->setDate(QDate(v.year, v.month, v.day));
  }
  pridatb_->setText(t("aktualizovat"));
  zrusitb_->show();
}

void EditorUloh::chyba(const QString& text, QWidget* focus) {
  dialogs_.zprava(QStringLiteral("chyba"), text, Ikona::Chyba);
  if (focus) focus->setFocus();
}

void EditorUloh::pridat() {
  if (!druh_.zalohy) zprava_->setPlainText(orizni(zprava_->toPlainText()));
  uzivatele_->setText(orizni(uzivatele_->text()));

  if (!con_.isOpen() && !pripoj_()) {
    chyba(t("Nelze přidat úlohu, připojení k databázi není dostupné."), nullptr);
    return;
  }
  if (!druh_.zalohy ? zprava_->toPlainText().isEmpty() : uspech_->text().isEmpty() && neuspech_->text().isEmpty()) {
    chyba(t("Zpráva pro odeslání není zadána."), druh_.zalohy ? static_cast<QWidget*>(uspech_) : zprava_);
    return;
  }
  if (uzivatele_->text().isEmpty()) {
    chyba(t("Příjemci zprávy nejsou zadáni."), uzivatele_);
    return;
  }
  if (!doemailu_->isChecked() && !dochatu_->isChecked()) {
    chyba(t("Není vybrán cíl zprávy"), doemailu_);
    return;
  }

  bool cislo = false;
  const int id = id_->text().toInt(&cislo);
  const bool zmena = cislo && id > 0;
  db::Statement editquery(con_);
  if (zmena) {
    editquery.setSql(
        "update ulohy set zprava=:pzprava,uzivatele=:puzivatele,kam=:pkam,doemailu=:pdoemailu,dochatu=:pdochatu,"
        "dni=:pdni,cas=:pcas,platnostdo=:pplatnostdo,aktivni=:paktivni where id=:pid");
    editquery.setInt("pid", id);
  } else {
    editquery.setSql(
        "insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values "
        "(:pdruh,:pzprava,:puzivatele,:pkam,:pdoemailu,:pdochatu,:pdni,:pcas,:pzalozeno,:pplatnostdo,:paktivni)");
    editquery.setText("pdruh", druh_.druh);
    editquery.setDateTime("pzalozeno", platform::localNow());
  }
  const QString zprava = druh_.zalohy ? orizni(uspech_->text()) + QLatin1Char('~') + orizni(neuspech_->text())
                                      : zprava_->toPlainText();
  editquery.setText("pzprava", zprava.toStdString());
  editquery.setText("puzivatele", uzivatele_->text().toStdString());
  editquery.setText("pkam", druh_.zalohy ? orizni(uzle_->text()).toStdString() : std::string());
  editquery.setBool("pdoemailu", doemailu_->isChecked());
  editquery.setBool("pdochatu", dochatu_->isChecked());
  editquery.setInt("pdni", druh_.zalohy ? 0 : dni_->value());
  editquery.setDateTime("pcas", naDateTime(QDate(1899, 12, 30), QTime(cas_->time().hour(), cas_->time().minute())));
  editquery.setDateTime("pplatnostdo", naDateTime(platnost_->date(), QTime(0, 0)));
  editquery.setBool("paktivni", aktivni_->isChecked());
  editquery.execute();

  vymaz();
  if (con_.isOpen()) model_->refresh();
}

void EditorUloh::zrusit() {
  vymaz();
  zrusitb_->hide();
}

}  // namespace dorvik::setup
