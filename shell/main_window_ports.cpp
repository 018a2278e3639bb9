// The port group of the Configuration menu: LPT1..LPT3, then the extra ports
// (a PCI or PCI Express card at any address), one radio item each, captioned
// as the three are, then each CH341A and I2C bus found (listed again each
// time the menu opens: USB devices come and go); the one place that selects
// the port; the CH341A's bus speed and the chip's address pins; and the
// confirmation an operation on a PC's SMBus or a display bus needs.
#include <QActionGroup>
#include <QMenu>

#include <algorithm>

#include "dialogs/dialogs.h"
#include "engine/adapter_table.h"
#include "main_window.h"

namespace zorbix {

void TForm1::CreerOptionsAutresPorts(const PortsSupplementaires& ports) {
  autresPorts_ = ports;
  const QList<QAction*> items = MenuConfiguration->actions();
  QAction* const suivant = items.value(items.indexOf(OptionLPT3) + 1);  // the separator
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const IdentitePort port{GenrePort::Parallele, ports[i].nom, ports[i].base};
    auto* a = new QAction(QString::fromStdString(TextePort(port, FormePort::Menu)), MenuConfiguration);
    a->setObjectName(QStringLiteral("OptionPortSupplementaire%1").arg(i));
    a->setCheckable(true);
    groupePorts_->addAction(a);
    MenuConfiguration->insertAction(suivant, a);
    connect(a, &QAction::triggered, this, [this, a] { LPTactif(a); });
    OptionsAutresPorts.push_back(a);
  }
  CreerOptionsAdaptateurs();
}

std::vector<QAction*> TForm1::ItemsPorts() const {
  std::vector<QAction*> items{OptionLPT1, OptionLPT2, OptionLPT3};
  items.insert(items.end(), OptionsAutresPorts.begin(), OptionsAutresPorts.end());
  return items;
}

void TForm1::CreerOptionsAdaptateurs() {
  for (QAction* a : OptionsAdaptateurs) {
    groupePorts_->removeAction(a);
    delete a;
  }
  OptionsAdaptateurs.clear();
  adaptateurs_ = AutresAdaptateurs();
  // The selected one stays in the menu while it is away, so that the choice shows.
  if (autreAdaptateur_ && std::find(adaptateurs_.begin(), adaptateurs_.end(), *autreAdaptateur_) == adaptateurs_.end())
    adaptateurs_.push_back(*autreAdaptateur_);
  const QList<QAction*> items = MenuConfiguration->actions();
  QAction* const suivant = items.value(items.indexOf(ItemsPorts().back()) + 1);  // the separator
  for (std::size_t i = 0; i < adaptateurs_.size(); ++i) {
    auto* a = new QAction(QString::fromStdString(TextePort(adaptateurs_[i], FormePort::Menu)), MenuConfiguration);
    a->setObjectName(QStringLiteral("OptionAdaptateur%1").arg(i));
    a->setCheckable(true);
    a->setChecked(autreAdaptateur_ && *autreAdaptateur_ == adaptateurs_[i]);
    groupePorts_->addAction(a);
    MenuConfiguration->insertAction(suivant, a);
    const IdentitePort port = adaptateurs_[i];
    connect(a, &QAction::triggered, this, [this, port] { ChoisirPort(port); });
    OptionsAdaptateurs.push_back(a);
  }
}

// The menu, the settings and the autodetection all select through here:
// PortBase follows a parallel port, with the port's menu item checked; a
// CH341A or an I2C bus is kept apart, and has no port test window.
void TForm1::ChoisirPort(const IdentitePort& port) {
  if (port.Genre != GenrePort::Parallele) {
    autreAdaptateur_ = port;
    CreerOptionsAdaptateurs();
    Testduportparallele->setEnabled(false);
    return;
  }
  const std::vector<IdentitePort> ports = GenreDe(port.Genre).Lister(autresPorts_);
  const std::vector<QAction*> items = ItemsPorts();
  for (std::size_t i = 0; i < ports.size(); ++i) {
    if (ports[i] != port) continue;
    items[i]->setChecked(true);
    Etat.PortBase = port.Adresse;
    autreAdaptateur_.reset();
    Testduportparallele->setEnabled(true);
  }
}

IdentitePort TForm1::PortChoisi() const {
  return autreAdaptateur_ ? *autreAdaptateur_ : IdentiteDuPort(Etat.PortBase, autresPorts_);
}

void TForm1::CreerOptionsReglagesAdaptateur(QMenu* menu) {
  QMenu* vitesse = menu->addMenu(QStringLiteral("&Vitesse du bus (CH341A)"));
  vitesse->setObjectName(QStringLiteral("MenuVitesse"));
  groupeVitesse_ = new QActionGroup(this);
  for (std::size_t i = 0; i < OptionsVitesse.size(); ++i) {
    QAction* a = vitesse->addAction(QStringLiteral("%1 kHz").arg(VitessesKHz[i]));
    a->setObjectName(QStringLiteral("OptionVitesse%1").arg(VitessesKHz[i]));
    a->setCheckable(true);
    groupeVitesse_->addAction(a);
    connect(a, &QAction::triggered, this, [this, i] { AppliquerReglagesAdaptateur(VitessesKHz[i], broches_); });
    OptionsVitesse[i] = a;
  }
  QMenu* broches = menu->addMenu(QStringLiteral("&Broches d'adresse A2 A1 A0"));
  broches->setObjectName(QStringLiteral("MenuBroches"));
  groupeBroches_ = new QActionGroup(this);
  for (int b = 0; b < 8; ++b) {
    QAction* a = broches->addAction(QStringLiteral("%1 %2 %3").arg(b >> 2 & 1).arg(b >> 1 & 1).arg(b & 1));
    a->setObjectName(QStringLiteral("OptionBroches%1").arg(b));
    a->setCheckable(true);
    groupeBroches_->addAction(a);
    connect(a, &QAction::triggered, this, [this, b] { AppliquerReglagesAdaptateur(vitesseKHz_, b); });
    OptionsBroches[static_cast<std::size_t>(b)] = a;
  }
  AppliquerReglagesAdaptateur(vitesseKHz_, broches_);
  connect(menu, &QMenu::aboutToShow, this, [this] { CreerOptionsAdaptateurs(); });
}

// A value that is none of the offered ones gives the default.
void TForm1::AppliquerReglagesAdaptateur(int vitesseKHz, int broches) {
  vitesseKHz_ = 100;
  for (std::size_t i = 0; i < OptionsVitesse.size(); ++i)
    if (VitessesKHz[i] == vitesseKHz) vitesseKHz_ = vitesseKHz;
  broches_ = broches >= 0 && broches <= 7 ? broches : 0;
  for (std::size_t i = 0; i < OptionsVitesse.size(); ++i) OptionsVitesse[i]->setChecked(VitessesKHz[i] == vitesseKHz_);
  OptionsBroches[static_cast<std::size_t>(broches_)]->setChecked(true);
}

std::unique_ptr<Adapter> TForm1::AdaptateurConfirme(bool ecriture) {
  const IdentitePort port = PortChoisi();
  OptionsAdaptateur options;
  options.VitesseKHz = vitesseKHz_;
  options.Broches = broches_;
  if (port.Genre == GenrePort::I2c && port.Gardee) {
    const QString texte =
        QStringLiteral("Le bus %1 est le SMBus de ce PC ou un bus d'affichage : les EEPROM des barrettes de "
                       "mémoire (SPD) y répondent aux mêmes adresses qu'une 24Cxx (0x50 à 0x57).\n%2\n\n"
                       "Continuer sur ce bus ?")
            .arg(QString::fromStdString(TextePort(port, FormePort::Rapport)),
                 ecriture ? QStringLiteral("Y écrire peut empêcher le PC de redémarrer.")
                          : QStringLiteral("Même une lecture y envoie une adresse."));
    if (dialogues_.Message(this, texte, QStringLiteral("Bus système :"), Dialogues::Icone::Attention,
                           Dialogues::Boutons::OuiNon) != Dialogues::Reponse::Ok)
      return nullptr;
    options.EcritureBusSystemeAutorisee = true;
  }
  return OuvrirAdaptateur(port, options);
}

// A failure's text, with the start-up report's line for the selected port
// when nothing real serves it: a desktop user never sees standard error.
QString TForm1::AvecRaisonPort(const QString& texte) const {
  const std::optional<std::string> raison = GenreDe(PortChoisi().Genre).Rapporter(PortChoisi(), demarrage_);
  if (!raison) return texte;
  QString avec = texte;
  while (avec.endsWith(QLatin1Char('\n'))) avec.chop(1);
  return avec + QStringLiteral("\n\n") + QString::fromStdString(*raison);
}

}  // namespace zorbix
