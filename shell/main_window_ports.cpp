// The port group of the Configuration menu: LPT1..LPT3, then the extra ports
// (a PCI or PCI Express card at any address), one radio item each, captioned
// as the three are; and the one place that selects the port.
#include <QActionGroup>
#include <QMenu>

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
}

std::vector<QAction*> TForm1::ItemsPorts() const {
  std::vector<QAction*> items{OptionLPT1, OptionLPT2, OptionLPT3};
  items.insert(items.end(), OptionsAutresPorts.begin(), OptionsAutresPorts.end());
  return items;
}

// The menu, the settings and the autodetection all select through here:
// PortBase follows, with the port's menu item checked.
void TForm1::ChoisirPort(const IdentitePort& port) {
  const std::vector<IdentitePort> ports = GenreDe(port.Genre).Lister(autresPorts_);
  const std::vector<QAction*> items = ItemsPorts();
  for (std::size_t i = 0; i < ports.size(); ++i) {
    if (ports[i] != port) continue;
    items[i]->setChecked(true);
    Etat.PortBase = port.Adresse;
  }
}

IdentitePort TForm1::PortChoisi() const { return IdentiteDuPort(Etat.PortBase, autresPorts_); }

// A failure's text, with the start-up report's line for the selected port
// when nothing real serves it: a desktop user never sees standard error.
QString TForm1::AvecRaisonPort(const QString& texte) const {
  const std::optional<std::string> raison = GenreDe(GenrePort::Parallele).Rapporter(PortChoisi(), demarrage_);
  if (!raison) return texte;
  QString avec = texte;
  while (avec.endsWith(QLatin1Char('\n'))) avec.chop(1);
  return avec + QStringLiteral("\n\n") + QString::fromStdString(*raison);
}

}  // namespace zorbix
