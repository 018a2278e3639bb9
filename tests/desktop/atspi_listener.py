# Writes what a screen reader hears of the program through AT-SPI, one line
# per event, until killed: every object that gains the focus and every change
# of a name ("kind|role|name|description").
# Usage: python3 atspi_listener.py OUTPUT_FILE
import sys

import pyatspi

sortie = open(sys.argv[1], "a", buffering=1)


def noter(evenement):
    if evenement.type.startswith("object:state-changed:focused") and evenement.detail1 != 1:
        return
    genre = "focus" if "focused" in evenement.type else "nom"
    try:
        source = evenement.source
        sortie.write(f"{genre}|{source.getRoleName()}|{source.name}|{source.description}\n")
    except Exception as erreur:  # an object gone before it could be read
        sortie.write(f"{genre}|?|{erreur}|\n")


pyatspi.Registry.registerEventListener(noter, "object:state-changed:focused",
                                       "object:property-change:accessible-name")
sortie.write("pret\n")
pyatspi.Registry.start()
