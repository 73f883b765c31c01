#include "Help.h"

#include <string_view>

namespace fichelia::tool {

namespace {

constexpr std::string_view kUsage = R"(usage :
  fichelia-page write [--from FORMAT] [--separator SEP] [--site ADRESSE]
                      [--ascii] [-o PAGE] [FICHIER]
  fichelia-page read [--to FORMAT] [--separator SEP] [--template LIGNE]
                     [-o SORTIE] [FICHIER]
  fichelia-page --help | write --help | read --help | --version

  fichelia-page write contacts.vcf -o annuaire.html
  fichelia-page read annuaire.html --to csv -o contacts.csv

FICHIER absent ou « - » : l'entrée standard ; sans -o, ou avec -o - : la
sortie standard (un fichier nommé « - » s'écrit ./-).

)";

constexpr std::string_view kWrite = R"(write : lit des contacts dans FICHIER et écrit la page d'annuaire que
l'application enregistrerait pour une liste qui les contient : triés comme
les trie sa liste (selon la langue de LC_ALL, LC_COLLATE ou LANG ; sous
Windows, celle de l'utilisateur), leurs textes inchangés. Une carte, une
ligne ou une entrée illisible est laissée de côté et signalée. Sont refusés
(code 2, aucune page écrite, PAGE laissée telle quelle) : les fichiers
d'autres sortes (PDF, ZIP, documents bureautiques, images, gzip, HTML), les
textes qui contiennent des octets NUL, les fichiers iCalendar et XML, les
schémas LDAP, un texte qui n'est pas un tableau de contacts, et une entrée
qui ne contient aucun contact.
  -o, --output PAGE
                  écrit la page dans PAGE comme l'application enregistre :
                  dans un nouveau fichier à côté, mis à la place de PAGE
                  seulement une fois complet et sur le disque. Quoi qu'il
                  arrive (entrée refusée ou illisible, disque plein, Ctrl+C,
                  SIGTERM, SIGHUP), PAGE garde son ancien contenu et aucun
                  fichier temporaire ne reste. PAGE ne peut pas être le
                  fichier d'entrée lui-même, sous aucun de ses noms.
                  Préférez -o à « > PAGE », avec lequel le shell vide PAGE
                  avant même que l'entrée soit lue.
  --from FORMAT   tsv, csv, vcard, ldif ou auto (par défaut : auto)
  --separator SEP séparateur CSV : ',' ';' ou 'tab' (par défaut : celui de la
                  première ligne, hors guillemets)
  --site ADRESSE  le lien du pied de page (par défaut :
                  https://fichelia.example/) ; comme pour les sites des
                  contacts, une adresse qui ferait exécuter du code
                  (javascript:, vbscript:, data:) est refusée
  --ascii         une page d'octets ASCII seulement, pour les serveurs web
                  qui annoncent leurs pages en UTF-8 (la plupart) : la page
                  ne nomme aucun jeu de caractères et est sinon en
                  Windows-1252, dont les accents s'affichent chez les
                  visiteurs d'un tel serveur en « ? » dans un carré. Les
                  caractères hors ASCII s'écrivent alors \uXXXX dans le
                  script et &#NNN; dans le HTML ; la page se relit pareil.

)";

constexpr std::string_view kRead = R"(read : lit une page dans FICHIER et écrit ses contacts dans l'ordre de la
page. Un fichier sans aucune ligne de page d'annuaire (remplirTabFournisseur)
est refusé.
  -o, --output SORTIE
                  les écrit dans SORTIE, mise en place complète comme par
                  write -o ; SORTIE ne peut pas être la page lue
  --to FORMAT     tsv, csv ou vcard (par défaut : tsv)
  --separator SEP séparateur CSV : ',' ';' ou 'tab' (par défaut : ';')
  --template LIGNE
                  une ligne TSV, vérifiée puis sans effet : un contact ne
                  vient que de sa ligne, jamais d'ailleurs

)";

constexpr std::string_view kFormats = R"(Formats
  auto   TSV quand la première ligne est la nôtre (huit champs UTF-8 séparés
         par des TAB, pas une ligne d'en-tête) ; sinon, d'après les 64 premiers
         ko (l'UTF-16 décodé d'abord) : vCard quand une ligne y commence par
         BEGIN:VCARD (ou que la première est le VERSION: d'une vCard), les
         lignes d'avant étant signalées ; refusé comme fichier iCalendar quand
         BEGIN:VCALENDAR vient en premier, comme schéma LDAP quand une ligne
         définit un type d'attribut ou une classe d'objets, comme fichier XML
         quand le texte commence par < ; LDIF quand une ligne commence par
         dn: ; CSV quand le texte se lit comme un tableau de contacts (une
         première ligne qui nomme des champs connus, ou des lignes au nombre
         de séparateurs constant, un au moins) ; tout autre texte est refusé
         comme n'étant pas un carnet d'adresses. Une entrée vide, des lignes
         blanches, une marque d'ordre des octets seule ou une ligne d'en-tête
         CSV seule ne contiennent aucun contact et sont refusées ; une page
         vide n'est écrite que pour une entrée vide avec --from tsv.
  tsv    UTF-8, un contact par ligne, huit champs séparés par des TAB, dans
         l'ordre nom, adresse, tel, gsm, fax, mail, site, commentaire. Dans
         un champ, \t, \n, \r et \\ valent TAB, LF, CR et une barre oblique
         inverse. Une ligne peut finir par CR LF.
  csv    RFC 4180 : un champ qui contient le séparateur, un guillemet ou un
         saut de ligne est entre guillemets, et un guillemet y est doublé ;
         CR LF ou LF entre les lignes. Lu dans le codage que donne sa marque
         d'ordre des octets (UTF-8, UTF-16 LE ou BE) ; sans marque, ligne à
         ligne : en UTF-8 quand la ligne en est, sinon en Windows-1252 (ce
         qu'écrivent les tableurs en France) ; dans un fichier UTF-8, les
         lignes lues en Windows-1252 sont nommées sur la sortie d'erreur. Une
         première ligne est un en-tête quand la plupart de ses cellules non
         vides nomment des champs (ou que certaines le font et qu'aucune n'a
         l'air d'une valeur) : Nom, Adresse, Tél/Téléphone,
         GSM/Portable/Mobile, Fax/Télécopie, Mail/E-mail/Courriel, Site/Site
         web/Page web, Commentaire/Notes, les colonnes des exports de Google
         Contacts, Outlook et Thunderbird, et les mots de chaque champ en
         français, anglais, allemand, espagnol, italien, néerlandais,
         portugais et japonais (n_given/n_family, First/Last Name,
         Vorname/Name, Nombre/Apellidos, Nome/Cognome, Voornaam/Achternaam,
         姓/名, 電話...), casse, accents, espaces, _ et - ignorés. Une
         première ligne qui a l'air d'un
         en-tête (3 cellules ou plus, aucune vide, aucune avec un chiffre,
         @ ou :) mais ne nomme aucune colonne connue est refusée, sauf si la
         deuxième a le même air. Un nom en parties donne « prénom second
         prénom nom » sauf si une colonne de nom complet le donne entier ; à
         côté d'une colonne de prénom, « Nom » (Name, Naam) est le nom de
         famille. Une
         adresse en parties s'écrit « rue, code-postal localité, région,
         pays ». Un numéro de bipeur ou « autre » n'est le téléphone que si
         aucun autre numéro n'est donné ; de « a ::: b » (Google), a est
         pris ; les dates vides d'Outlook (0/0/00) sont vides. Une cellule
         qui commence par une apostrophe puis =, +, -, @, TAB ou CR perd
         l'apostrophe. Sans en-tête, les colonnes sont dans l'ordre du TSV.
         Écrit par read en UTF-8 avec marque d'ordre des octets, une ligne
         d'en-tête des noms de champs français, CR LF ; une cellule qui
         commence par =, +, -, @, TAB ou CR (une formule pour un tableur)
         est écrite après une apostrophe.
  vcard  vCard 2.1, 3.0 et 4.0 : lignes repliées (espace ou TAB), toute
         suite de CR avant un LF, les échappements \, \; \n \\ (une barre
         oblique inverse avant un autre caractère donne ce caractère),
         QUOTED-PRINTABLE (sauts de ligne doux compris) et CHARSET=, base64
         (espaces et remplissage en trop ignorés), paramètres avec ou sans
         TYPE=, préfixes de groupe (item1.URL), plusieurs cartes par
         fichier. nom de FN, sinon de N (prénom puis nom de famille) ; tel
         d'un TEL ni cell ni fax (un numéro de bipeur ou « autre » seulement
         si aucun autre n'est donné) ; gsm d'un TEL de type cell ; fax d'un
         TEL de type fax ; mail d'EMAIL ; site d'URL ; commentaire de NOTE ;
         adresse d'ADR, écrite comme ci-dessus, sinon de LABEL. Quand
         plusieurs valeurs se disputent un champ, la préférée (PREF,
         TYPE=pref) l'emporte, sinon la première. Les valeurs des propriétés
         sans champ ici ne sont jamais décodées. Lecture tolérante : une
         ligne sans deux-points continue une valeur base64 ou
         quoted-printable (ou une valeur finie par une barre oblique
         inverse), sinon cette ligne seule est laissée de côté et nommée ;
         les commentaires « # » et les lignes blanches sont passés ; une
         valeur qui ne peut être décodée ne coûte qu'elle-même ; la carte
         d'un AGENT 2.1 dans une carte est laissée de côté, la carte qui la
         contient gardée. Une valeur 8 bits brute est en UTF-8 quand elle en
         est, sinon dans le CHARSET qu'elle ou sa carte nomme (tout jeu que
         connaît ICU ; sous Windows, ses pages de code par leur nom), sinon
         en Windows-1252.
         Écrit par read en vCard 3.0, UTF-8, lignes repliées à 75 octets :
         FN et N, TEL;TYPE=voice, cell et fax, EMAIL, URL, NOTE, l'adresse
         entière dans la partie rue d'ADR.
  ldif   comme les programmes de courrier exportent les carnets d'adresses,
         chaque entrée commençant par son dn: : cn (sinon givenName et sn),
         mail, telephoneNumber, mobile, facsimileTelephoneNumber,
         workURL/homeURL, description, attributs d'adresse postale (street,
         l, st, postalCode, c, postalAddress et ses $ entre les lignes, et
         ceux du domicile) ; valeurs en base64 (attr:: valeur), lignes de
         continuation, plusieurs entrées ; telephoneNumber avant homePhone.
         Une entrée est un contact quand un objectClass nomme une personne
         (person, organizationalPerson, inetOrgPerson, mozillaAbPersonAlpha
         ...) ou qu'elle a un nom (cn, givenName, sn ou o) et un mail ou un
         téléphone, comme une société ; les autres (unités, groupes, une
         racine sans eux) sont comptées comme laissées de côté.
         Le résumé final de ldapsearch est passé.
Dans tous les formats sauf TSV, un contact sans nom prend celui de sa
société, sinon son adresse mail, sinon son numéro de téléphone ; un saut de
ligne dans un champ autre que le commentaire devient « , ».

)";

constexpr std::string_view kLeftOut = R"(Ce que write laisse de côté, et dit sur la sortie d'erreur
  - Une carte, une ligne ou une entrée illisible, avec sa ligne et pourquoi :
    une vCard sans END:VCARD ou avec une ligne sans deux-points, du
    quoted-printable ou du base64 invalide dans une valeur utile, un CHARSET
    inconnu, un guillemet CSV mal placé, une ligne TSV qui n'a pas huit
    champs, de l'UTF-8 invalide ou un échappement inconnu en TSV, une entrée
    LDIF sans dn:. Les autres contacts font la page.
  - Un contact sans nom prend celui de sa société, son mail ou son
    téléphone ; celui qui n'a rien de tout cela est laissé de côté, avec sa
    ligne.
  - Une adresse de site qui ferait exécuter du code dans le navigateur des
    visiteurs (javascript:, vbscript:, data:, casse, blancs en tête et
    caractères de contrôle ignorés) est laissée de côté, avec sa ligne.
    http:, https:, ftp:, mailto: et les adresses sans schéma passent
    inchangées.
  - Les valeurs sans champ ici (un second mobile, un anniversaire, une
    photo, une colonne inconnue) sont comptées ; à la fin vient combien de
    chaque sorte ont été laissées de côté.

)";

constexpr std::string_view kRoundTrips = R"(Allers-retours : read --to vcard puis write --from vcard, et read --to csv
puis write --from csv, redonnent la même page (un texte qui contient un CR
revient avec un LF en vCard, qui ne connaît que ce saut de ligne ; un saut de
ligne dans un champ autre que le commentaire, que seul le TSV peut apporter,
revient en « , » ; un site qui ferait exécuter du code est laissé de côté).

)";

constexpr std::string_view kExitStatus = R"(Code de sortie :
  0  fait
  1  write a laissé de côté des contacts ou des lignes de cartes
     illisibles, ou read des lignes de contact illisibles, chacun nommé sur
     la sortie d'erreur ; les autres contacts sont écrits
  2  arguments incorrects (dits en une ligne), ou pas de page (le fichier de
     -o laissé tel quel) : l'entrée n'est pas un carnet d'adresses (PDF,
     image, octets NUL, fichier iCalendar ou XML, schéma LDAP, texte qui
     n'est pas un tableau de contacts...), elle ne contient aucun contact
     (vide, blanche, une ligne d'en-tête CSV seule), rien n'a pu en être
     lu, sa ligne d'en-tête ne nomme aucune colonne connue, ou un
     guillemet CSV n'est jamais refermé (le reste du fichier n'est alors
     qu'un champ) ; read d'un fichier qui n'est pas une page d'annuaire ; -o
     qui nomme le fichier d'entrée. Le message nomme la ligne d'entrée quand
     il y en a une.
  3  un fichier qui ne peut être lu ou écrit (la raison est dite), une
     sortie standard fermée en route (un tube dont le lecteur est parti),
     la mémoire insuffisante, plus de contacts qu'une page n'en compte
     (2 147 483 647)
)";

} // namespace

std::string helpText(HelpTopic topic) {
    std::string text(kUsage);
    if (topic != HelpTopic::Read) {
        text += kWrite;
    }
    if (topic != HelpTopic::Write) {
        text += kRead;
    }
    text += kFormats;
    if (topic != HelpTopic::Read) {
        text += kLeftOut;
    }
    text += kRoundTrips;
    text += kExitStatus;
    return text;
}

} // namespace fichelia::tool
