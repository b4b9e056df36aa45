#include "app/informazioni.h"

#include "versione.h"

QString testoInformazioni() {
    return QString(
               "<h3>Sezione inglese %1</h3>"
               "<p>Calcolo della portata di una tubazione a sezione inglese (ovoidale) in moto "
               "uniforme.</p>"
               "<p>Per una sezione di raggio caratteristico <i>r</i> (larghezza 2<i>r</i>, "
               "altezza 3<i>r</i>) il programma tabula, al variare dell'altezza d'acqua "
               "<i>h</i>, l'area bagnata <i>A</i>, il contorno bagnato <i>P</i>, il raggio "
               "idraulico <i>R</i>&nbsp;=&nbsp;<i>A</i>/<i>P</i>, la velocità <i>V</i> e la "
               "portata <i>Q</i>:</p>"
               "<ul>"
               "<li><i>C</i>&nbsp;=&nbsp;87&nbsp;√<i>R</i>&nbsp;/&nbsp;(√<i>R</i>&nbsp;+&nbsp;γ) "
               "secondo Bazin, <i>V</i>&nbsp;=&nbsp;<i>C</i>&nbsp;√(<i>R</i>&nbsp;<i>i</i>) "
               "secondo Chézy, <i>Q</i>&nbsp;=&nbsp;<i>A</i>&nbsp;<i>V</i>;</li>"
               "<li>il profilo: fondo ad arco di raggio <i>r</i>/2 fino a <i>r</i>/5, fianchi ad "
               "arco di raggio 3<i>r</i> fino a 2<i>r</i>, calotta semicircolare di raggio "
               "<i>r</i> fino a 3<i>r</i>;</li>"
               "<li>nel fondo l'area bagnata è il segmento circolare "
               "(<i>r</i>²/8)(2<i>a</i>&nbsp;−&nbsp;sin&nbsp;2<i>a</i>), con <i>a</i> metà "
               "dell'angolo bagnato: la formula <i>r</i>²(<i>a</i>&nbsp;−&nbsp;sin&nbsp;<i>a</i>) "
               "delle tabelle classiche, più grande del 14% a <i>r</i>/5, è corretta;</li>"
               "<li>le altre formule e le loro costanti arrotondate (1.5708, 4.79, 3.02, "
               "0.105·360/6.283185308) sono quelle delle tabelle; le righe «Max V» e «Max Q» "
               "stanno a 2.562&nbsp;<i>r</i> e 2.859&nbsp;<i>r</i>. La finestra «Scala di "
               "deflusso e verifiche» dà le altezze vere dei massimi, le altezze di una portata "
               "o di una velocità di progetto e la sezione esatta a quattro archi.</li>"
               "</ul>"
               "<p>Licenza: GNU General Public License, versione 3 o successiva "
               "(GPL-3.0-or-later). Il programma è distribuito senza alcuna garanzia.<br>"
               "Usa Qt, QuaZip e Boost.Math.</p>")
        .arg(versioneProgramma);
}
