// The extra ports (a PCI or PCI Express card at any address): one radio item
// each in the port group of the Configuration menu, after LPT3, captioned as
// the three are. With no extra port the menu is the one of the three.
#include <QActionGroup>
#include <QMenu>

#include "main_window.h"

namespace zorbix {

void TForm1::CreerOptionsAutresPorts(const PortsSupplementaires& ports) {
  autresPorts_ = ports;
  const QList<QAction*> items = MenuConfiguration->actions();
  QAction* const suivant = items.value(items.indexOf(OptionLPT3) + 1);  // the separator
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const unsigned base = ports[i].base;
    auto* a = new QAction(QString::asprintf("%s (%xh - %xh)", ports[i].nom.c_str(), base, base + 1),
                          MenuConfiguration);
    a->setObjectName(QStringLiteral("OptionPortSupplementaire%1").arg(i));
    a->setCheckable(true);
    groupePorts_->addAction(a);
    MenuConfiguration->insertAction(suivant, a);
    connect(a, &QAction::triggered, this, [this, a] { LPTactif(a); });
    OptionsAutresPorts.push_back(a);
  }
}

// Selects the extra port at `base`, if there is one there now.
bool TForm1::ChoisirAutrePort(std::uint16_t base) {
  for (std::size_t i = 0; i < autresPorts_.size(); ++i) {
    if (autresPorts_[i].base != base) continue;
    OptionsAutresPorts[i]->setChecked(true);
    Etat.PortBase = base;
    return true;
  }
  return false;
}

}  // namespace zorbix
