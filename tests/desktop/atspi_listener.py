# Writes what a screen reader hears of the program through AT-SPI, one line
# per event, until killed: every object that gains the focus
# ("focus|role|name|description"), every change of a name ("nom|...", the
# same) and every change of a text ("texte|role|insert or delete|the text").
# Usage: python3 atspi_listener.py OUTPUT_FILE
import sys

import pyatspi

sortie = open(sys.argv[1], "a", buffering=1)


def noter(evenement):
    try:
        source = evenement.source
        if evenement.type.startswith("object:text-changed"):
            sens = evenement.type.split(":")[2]
            sortie.write(f"texte|{source.getRoleName()}|{sens}|{evenement.any_data}\n")
        elif evenement.type.startswith("object:property-change"):
            sortie.write(f"nom|{source.getRoleName()}|{source.name}|{source.description}\n")
        elif evenement.detail1 == 1:
            sortie.write(f"focus|{source.getRoleName()}|{source.name}|{source.description}\n")
    except Exception as erreur:  # an object gone before it could be read
        sortie.write(f"?|{evenement.type}|{erreur}|\n")


pyatspi.Registry.registerEventListener(noter, "object:state-changed:focused", "object:text-changed",
                                       "object:property-change:accessible-name")
sortie.write("pret\n")
pyatspi.Registry.start()
