#!/usr/bin/python3
"""Compares what fichelia-page imports from the real address books of
tests/data/corpus with what other parsers read from them.

Each file is read here by parsers that owe nothing to the tool: vobject for
vCard, Python's csv module for CSV, python-ldap's ldif module for LDIF. A file
of any other kind (iCalendar, a Mork database) holds no contact, and neither
does an LDIF file without person entries (a schema): the tool must refuse
those. Of the other files the tool must import as many contacts, under the
same names, with phones and mails that the file gives that contact.

Every difference must be listed in the table of accepted differences
(tests/data/corpus/accepted-differences.tsv), keyed by file and kind, with the
reason a user would accept it. A row whose status is "open" is a difference
still to be fixed: it fails unless --allow-open is given. A row that matches
no difference any more fails too (in --allow-open mode it is only reported),
so that the table stays the list of what really differs.

    corpus_compare.py --tool build/tools/fichelia-page/fichelia-page [--allow-open] [--list] [-v]

--list prints every difference found as a row for the table.
Exit status: 0 when every difference is accepted, 1 otherwise.
"""

import argparse
import codecs
import collections
import csv
import io
import logging
import os
import quopri
import re
import subprocess
import sys
import unicodedata

import ldif
import vobject

# vobject reads a text value as a list cut at its unescaped commas and keeps
# the first item: "FN:Mustermann, Heiko" would be "Mustermann". Every vCard
# writer puts such commas in names, so the value is taken whole here.
_text_values = vobject.vcard.stringToTextValues


def _whole_text_values(s, listSeparator=',', charList=None, strict=False):
    values = _text_values(s, listSeparator, charList, strict)
    if s.endswith('\\') and values and values[-1].endswith('eof'):
        values[-1] = values[-1][:-3]  # what vobject makes of a backslash at the end
    return [','.join(values)] if listSeparator == ',' and charList is None else values


vobject.vcard.stringToTextValues = _whole_text_values
logging.disable(logging.CRITICAL)  # vobject logs every line it skips

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_CORPUS = os.path.normpath(os.path.join(HERE, '..', 'data', 'corpus'))

# Files whose character set neither a byte order mark nor the content names:
# read here in the one their project says they are in.
TRUE_ENCODINGS = {
    'thunderbird/mailnews/import/test/unit/resources/shiftjis_addressbook.csv': 'shift_jis',
}

NOT_DATA = re.compile(r'^(LICENSE.*|SOURCE\.md|README\.md|accepted-differences\.tsv)$')

Contact = collections.namedtuple('Contact', 'name phones mails')


# ---------------------------------------------------------------- normalising

def norm_text(value):
    """One line, blanks collapsed: how the tool shows a name."""
    value = unicodedata.normalize('NFC', value)
    value = re.sub(r'\s*(\r\n|\r|\n)\s*', ', ', value)
    return re.sub(r'\s+', ' ', value).strip(' ,')


def norm_phone(value):
    value = value.strip()
    if value.lower().startswith('tel:'):
        value = value[4:]
    return re.sub(r'[^0-9+*#]', '', value)


def norm_mail(value):
    value = value.strip()
    if value.lower().startswith('mailto:'):
        value = value[7:]
    return value.lower()


def clean(values, norm):
    out = []
    for v in values:
        n = norm(v)
        if n and n not in out:
            out.append(n)
    return out


def make_contact(name, org, phones, mails):
    raw_mails = [m.strip() for m in mails if norm_mail(m)]
    raw_phones = [p.strip() for p in phones if norm_phone(p)]
    phones = clean(phones, norm_phone)
    mails = clean(mails, norm_mail)
    name = norm_text(name or '')
    if not name:
        name = norm_text(org or '')
    if not name and raw_mails:
        name = norm_text(re.sub(r'^mailto:', '', raw_mails[0], flags=re.IGNORECASE))
    if not name and raw_phones:
        name = norm_text(raw_phones[0])
    if not name:
        return None
    return Contact(name, phones, mails)


# ---------------------------------------------------------------- decoding

def decode_bytes(raw, path_key):
    """Text of a file: its true encoding when known, else byte order mark,
    UTF-16 by its NULs, UTF-8 when valid, else Windows-1252."""
    if path_key in TRUE_ENCODINGS:
        return raw.decode(TRUE_ENCODINGS[path_key], errors='replace')
    if raw.startswith(codecs.BOM_UTF8):
        return raw[3:].decode('utf-8', errors='replace')
    if raw.startswith(codecs.BOM_UTF16_LE) or raw.startswith(codecs.BOM_UTF16_BE):
        return raw.decode('utf-16', errors='replace')
    if b'\0' in raw[:200]:
        even = raw[0:200:2].count(0)
        odd = raw[1:200:2].count(0)
        return raw.decode('utf-16-be' if even > odd else 'utf-16-le', errors='replace')
    try:
        return raw.decode('utf-8')
    except UnicodeDecodeError:
        return raw.decode('cp1252', errors='replace')


# ---------------------------------------------------------------- vCard

def split_cards(text):
    """The cards of a file, each BEGIN:VCARD ... END:VCARD, nested cards kept
    inside their card."""
    cards, current, depth = [], [], 0
    for line in text.splitlines(keepends=True):
        word = line.strip().upper()
        if word == 'BEGIN:VCARD':
            depth += 1
        if depth > 0:
            current.append(line)
        if word == 'END:VCARD' and depth > 0:
            depth -= 1
            if depth == 0:
                cards.append(''.join(current))
                current = []
    return cards


MEDIA = re.compile(r'^([A-Za-z0-9-]+\.)?(PHOTO|LOGO|SOUND|KEY)[;:]', re.IGNORECASE)


def without_media(card_text):
    """The card without its PHOTO, LOGO, SOUND and KEY properties."""
    out, skipping = [], False
    for line in card_text.splitlines(keepends=True):
        if skipping and (line[:1] in (' ', '\t') or (line.strip() and ':' not in line)):
            continue
        skipping = bool(MEDIA.match(line))
        if not skipping:
            out.append(line)
    return ''.join(out)


QP_START = re.compile(r'^([A-Za-z0-9.-]+)((;[^:]*)?):', re.IGNORECASE)


def with_qp_charsets(card_text, default_charset):
    """The card with a CHARSET named on each quoted-printable property that
    names none: UTF-8 when the decoded bytes are UTF-8, else the file's own.
    (vobject would take UTF-8 and give up on the card.)"""
    lines = card_text.splitlines(keepends=True)
    out, i = [], 0
    while i < len(lines):
        line = lines[i]
        m = QP_START.match(line)
        params = (m.group(2) if m else '').upper()
        if m and 'QUOTED-PRINTABLE' in params and 'CHARSET=' not in params:
            j = i
            while lines[j].rstrip('\r\n').endswith('=') and j + 1 < len(lines):
                j += 1
            value = ''.join(lines[i:j + 1])[m.end():]
            decoded = quopri.decodestring(value.encode('latin-1', errors='replace'))
            try:
                decoded.decode('utf-8')
                charset = 'utf-8'
            except UnicodeDecodeError:
                charset = default_charset if default_charset != 'utf-8' else 'cp1252'
            out.append(m.group(1) + ';CHARSET=' + charset + line[len(m.group(1)):])
            out.extend(lines[i + 1:j + 1])
            i = j + 1
            continue
        out.append(line)
        i += 1
    return ''.join(out)


def vcard_text(value, params, default_charset, byte_text):
    """A property's value as text. The file was read as Latin-1 so that each
    value can be decoded in its own CHARSET; values vobject already decoded
    (quoted-printable) hold characters beyond Latin-1 and stay as they are."""
    if isinstance(value, bytes):
        return ''
    if not isinstance(value, str):
        value = str(value)
    if not byte_text:
        return value
    charset = (params.get('CHARSET') or [default_charset])[0]
    try:
        raw = value.encode('latin-1')
    except UnicodeEncodeError:
        return value
    try:
        return raw.decode(charset, errors='replace')
    except LookupError:
        return raw.decode(default_charset, errors='replace')


def read_vcards(raw, key):
    if key in TRUE_ENCODINGS or raw.startswith(codecs.BOM_UTF16_LE) or raw.startswith(codecs.BOM_UTF16_BE) \
            or b'\0' in raw[:200]:
        text, byte_text, default_charset = decode_bytes(raw, key), False, 'utf-8'
    else:
        if raw.startswith(codecs.BOM_UTF8):
            raw = raw[3:]
        try:
            raw.decode('utf-8')
            default_charset = 'utf-8'
        except UnicodeDecodeError:
            default_charset = 'cp1252'
        text, byte_text = raw.decode('latin-1'), True
    contacts, unreadable = [], 0
    for card_text in split_cards(text):
        card_text = with_qp_charsets(card_text, default_charset)
        try:
            card = vobject.readOne(card_text, allowQP=True)
        except Exception:  # vobject's errors have no common base worth naming
            # A lenient reader leaves out the lines it cannot read and keeps
            # the card; the card counts as unreadable only if even that fails.
            # Nor does a damaged photo cost the card: no field takes it.
            try:
                card = vobject.readOne(card_text, allowQP=True, ignoreUnreadable=True)
            except Exception:
                try:
                    card = vobject.readOne(without_media(card_text), allowQP=True, ignoreUnreadable=True)
                except Exception:
                    unreadable += 1
                    continue
        name = org = ''
        phones, mails = [], []
        for line in card.lines():
            key_name = line.name.upper()
            if key_name == 'FN':
                name = name or vcard_text(line.value, line.params, default_charset, byte_text)
            elif key_name == 'TEL':
                phones.append(vcard_text(line.value, line.params, default_charset, byte_text))
            elif key_name == 'EMAIL':
                mails.append(vcard_text(line.value, line.params, default_charset, byte_text))
            elif key_name == 'ORG' and not org:
                value = line.value
                if isinstance(value, list):
                    value = value[0] if value else ''
                org = vcard_text(str(value), line.params, default_charset, byte_text)
        if not norm_text(name) and 'n' in card.contents:
            n = card.n.value
            if isinstance(n, vobject.vcard.Name):
                parts = []
                for part in (n.given, n.additional, n.family):
                    parts.extend(part if isinstance(part, list) else [part])
                joined = ' '.join(p for p in parts if p and p.strip())
                name = vcard_text(joined, card.n.params, default_charset, byte_text)
        contact = make_contact(name, org, phones, mails)
        if contact:
            contacts.append(contact)
    return contacts, unreadable


# ---------------------------------------------------------------- CSV

FULL_NAME = {'name', 'display name', 'full name', 'nom complet', 'anzeigename', 'nom'}
FIRST = {'first name', 'given name', 'prénom', 'prenom', 'vorname'}
MIDDLE = {'middle name', 'additional name', 'deuxième prénom', 'weitere vornamen'}
LAST = {'last name', 'family name', 'nachname', 'nom de famille'}
ORG = {'company', 'organization 1 - name', 'organization', 'société', 'firma', 'organisation'}
PHONE = re.compile(r'phone|tél|tel\b|telefon|mobile|portable|handy|gsm|fax|pager')
MAIL = re.compile(r'e-?mail|courriel')
NOT_VALUE = re.compile(r'type|label|display')
PHONE_LIKE = re.compile(r'^\+?[0-9][0-9 ()./-]{4,}$')


def csv_delimiter(text):
    first = text.split('\n', 1)[0]
    try:
        return csv.Sniffer().sniff(first, delimiters=',;\t').delimiter
    except csv.Error:
        counts = {d: first.count(d) for d in ',;\t'}
        return max(counts, key=counts.get)


def looks_like_header(row):
    cells = [c.strip().lower() for c in row]
    if any('@' in c or re.search(r'\d{3}', c) for c in cells):
        return False
    known = FULL_NAME | FIRST | LAST | ORG
    return any(c in known or PHONE.search(c) or MAIL.search(c) for c in cells)


def read_csv(raw, key):
    text = decode_bytes(raw, key)
    rows = [r for r in csv.reader(io.StringIO(text, newline=''), delimiter=csv_delimiter(text))
            if any(c.strip() for c in r)]
    if not rows:
        return [], 0
    contacts = []
    if looks_like_header(rows[0]):
        header = [c.strip().lower() for c in rows[0]]
        has_first = any(h in FIRST for h in header)
        for row in rows[1:]:
            cell = {}
            for h, v in zip(header, row):
                cell.setdefault(h, v)
            full = ''
            for h in header:
                if h in FULL_NAME and not (h == 'nom' and has_first):
                    full = full or cell.get(h, '')
            split = ' '.join(cell.get(h, '').strip() for h in header
                             if h in FIRST or h in MIDDLE or h in LAST or (h == 'nom' and has_first))
            org = next((cell.get(h, '') for h in header if h in ORG and cell.get(h, '').strip()), '')
            phones, mails = [], []
            for h, v in zip(header, row):
                if NOT_VALUE.search(h):
                    continue
                values = [p for p in v.split(' ::: ')]
                if MAIL.search(h):
                    mails.extend(values)
                elif PHONE.search(h):
                    phones.extend(values)
            contact = make_contact(full if full.strip() else split, org, phones, mails)
            if contact:
                contacts.append(contact)
    else:
        # No header: the cells say what they are.
        for row in rows:
            cells = [c.strip() for c in row]
            mails = [c for c in cells if re.match(r'^[^@\s]+@[^@\s]+$', c)]
            phones = [c for c in cells if PHONE_LIKE.match(c)]
            name = next((c for c in cells if c and c not in mails and c not in phones), '')
            contact = make_contact(name, '', phones, mails)
            if contact:
                contacts.append(contact)
    return contacts, 0


# ---------------------------------------------------------------- LDIF

def read_ldif(raw, key):
    records = ldif.LDIFRecordList(io.BytesIO(raw))
    try:
        records.parse()
    except ValueError:
        pass  # the records before the bad one are kept
    contacts = []
    for _dn, entry in records.all_records:
        attrs = {k.lower(): [v.decode('utf-8', errors='replace') for v in vals if v is not None] for k, vals in entry.items()}
        if attrs.get('changetype', ['add'])[0].lower() != 'add':
            continue
        # A contact is a person (inetOrgPerson, OpenLDAPperson, a mail
        # program's card ...) or any entry with a mail address or a phone.
        classes = {c.lower() for c in attrs.get('objectclass', [])}
        if not any('person' in c for c in classes) and \
                not any(a in attrs for a in ('mail', 'telephonenumber', 'mobile')):
            continue

        def first(name):
            return (attrs.get(name) or [''])[0]

        name = first('cn') or first('displayname') or (first('givenname') + ' ' + first('sn'))
        phones = []
        for a in ('telephonenumber', 'mobile', 'facsimiletelephonenumber', 'fax', 'homephone', 'pager'):
            phones.extend(attrs.get(a, []))
        mails = attrs.get('mail', []) + attrs.get('mozillasecondemail', [])
        contact = make_contact(name, first('o'), phones, mails)
        if contact:
            contacts.append(contact)
    return contacts, 0


READERS = {'.vcf': read_vcards, '.vcard': read_vcards, '.csv': read_csv, '.txt': read_csv, '.ldif': read_ldif}


# ---------------------------------------------------------------- the tool

def unescape_tsv(field):
    return re.sub(r'\\(.)', lambda m: {'t': '\t', 'n': '\n', 'r': '\r', '\\': '\\'}.get(m.group(1), m.group(0)), field)


def run_tool(tool, path):
    """(exit status, contacts, first message) of `write` then `read`."""
    env = dict(os.environ, LANG='C', LC_ALL='', LC_COLLATE='')
    write = subprocess.run([tool, 'write', path], capture_output=True, env=env, timeout=120)
    message = write.stderr.decode('utf-8', errors='replace').strip().split('\n')[0]
    if write.returncode not in (0, 1):
        return write.returncode, [], message
    read = subprocess.run([tool, 'read'], input=write.stdout, capture_output=True, env=env, timeout=120)
    if read.returncode != 0:
        raise RuntimeError(f'{path}: read of the written page failed: {read.stderr.decode()}')
    contacts = []
    for line in read.stdout.decode('utf-8').split('\n'):
        if not line:
            continue
        f = [unescape_tsv(x) for x in line.rstrip('\r').split('\t')]
        name, phones, mails = f[0], [f[2], f[3], f[4]], [f[5]]
        contacts.append(Contact(norm_text(name), clean(phones, norm_phone), clean(mails, norm_mail)))
    return write.returncode, contacts, message


# ---------------------------------------------------------------- comparing

def compare(expected, got):
    """[(kind, detail)] of the differences between two lists of contacts."""
    diffs = []
    if len(expected) != len(got):
        diffs.append(('count', f'{len(expected)} read here, {len(got)} imported'))
    by_name = collections.defaultdict(list)
    for c in got:
        by_name[c.name].append(c)
    missing, pairs = [], []
    for c in expected:
        if by_name.get(c.name):
            pairs.append((c, by_name[c.name].pop(0)))
        else:
            missing.append(c.name)
    extra = [c.name for cs in by_name.values() for c in cs]
    if missing or extra:
        diffs.append(('names', f'only here: {missing[:3]}{"..." if len(missing) > 3 else ""}; '
                               f'only imported: {extra[:3]}{"..." if len(extra) > 3 else ""}'))
    for kind, field in (('phones', 'phones'), ('mails', 'mails')):
        bad = []
        for e, g in pairs:
            want, have = getattr(e, field), getattr(g, field)
            if any(v not in want for v in have) or (want and not have):
                bad.append(f'{e.name}: {want} vs {have}')
        if bad:
            diffs.append((kind, f'{len(bad)} contact(s), e.g. {bad[0]}'))
    return diffs


def corpus_files(corpus):
    for root, dirs, files in os.walk(corpus):
        dirs.sort()
        for name in sorted(files):
            if not NOT_DATA.match(name):
                yield os.path.relpath(os.path.join(root, name), corpus)


def load_table(path):
    table = {}
    with open(path, encoding='utf-8', newline='') as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if n == 1 or not line or line.startswith('#'):
                continue
            cells = line.split('\t')
            if len(cells) != 5 or cells[2] not in ('accepted', 'open') or not cells[4].strip():
                raise SystemExit(f'{path}:{n}: want file, kind, accepted|open, class, reason')
            table[(cells[0], cells[1])] = (cells[2], cells[3], cells[4])
    return table


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--tool', required=True)
    parser.add_argument('--corpus', default=DEFAULT_CORPUS)
    parser.add_argument('--accepted', default=None)
    parser.add_argument('--allow-open', action='store_true', help='open rows of the table do not fail')
    parser.add_argument('--list', action='store_true', help='print every difference as a table row')
    parser.add_argument('-v', '--verbose', action='store_true')
    args = parser.parse_args()
    table = load_table(args.accepted or os.path.join(args.corpus, 'accepted-differences.tsv'))

    found = {}
    files = list(corpus_files(args.corpus))
    for rel in files:
        path = os.path.join(args.corpus, rel)
        with open(path, 'rb') as f:
            raw = f.read()
        reader = READERS.get(os.path.splitext(rel)[1].lower())
        expected, unreadable = reader(raw, rel) if reader else ([], 0)
        status, got, message = run_tool(args.tool, path)
        diffs = []
        if expected and status not in (0, 1):
            diffs.append(('refused', f'{len(expected)} contact(s) read here; tool: {message}'))
        elif not expected and status in (0, 1):
            diffs.append(('not-refused', f'no contact read here; tool imported {len(got)}: '
                                         f'{[c.name for c in got[:3]]}'))
        elif expected:
            diffs = compare(expected, got)
        if args.verbose:
            print(f'{rel}: {len(expected)} read here ({unreadable} unreadable), tool exit {status}, '
                  f'{len(got)} imported')
        for kind, detail in diffs:
            found[(rel, kind)] = detail

    failures, open_rows = [], 0
    for (rel, kind), detail in sorted(found.items()):
        row = table.get((rel, kind))
        if args.list:
            print(f'{rel}\t{kind}\t{row[0] if row else "open"}\t{row[1] if row else "?"}\t'
                  f'{row[2] if row else detail}')
        if row is None:
            failures.append(f'{rel}: {kind}: {detail} (not in the table)')
        elif row[0] == 'open':
            open_rows += 1
            if not args.allow_open:
                failures.append(f'{rel}: {kind}: {detail} (open: {row[2]})')
    stale = [f'{rel}: {kind}: listed but no longer differs' for (rel, kind) in sorted(table) if (rel, kind) not in found]
    for line in stale:
        print(('' if args.allow_open else 'FAIL ') + line, file=sys.stderr)
    if not args.allow_open:
        failures.extend(stale)
    for line in failures:
        print('FAIL ' + line, file=sys.stderr)
    print(f'{len(files)} files, {len(found)} differences: {len(found) - open_rows - len([1 for k in found if k not in table])} '
          f'accepted, {open_rows} open, {len([1 for k in found if k not in table])} not listed; {len(stale)} stale rows')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
