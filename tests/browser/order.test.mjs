// The list's order whatever the order of the record lines: lines out of place
// at the start, in the middle or at the end of the page are sorted, names
// equal once folded go by letter case and accents, equal names keep the
// order of their lines.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { inPageOrder } from './support/contacts.mjs';
import { pageSuite } from './support/suite.mjs';
import { visit } from './support/visitor.mjs';

const suite = pageSuite();

// Names and addresses; the two Martins differ only by their address.
const contacts = [
    ['Bernard', '1 rue A'], ['bernard', '2 rue B'], ['Edmond', '3 rue C'], ['Émile', '4 rue D'],
    ['helene', '5 rue E'], ['Hélène', '6 rue F'], ['Martin', '7 rue G'], ['Martin', '8 rue H'], ['Zoé', '9 rue I'],
];

// The record lines as the tool writes them, then rearranged: each case gives
// the position in the tool's page of each line of the new page.
const cases = [
    { lines: 'as written', from: [0, 1, 2, 3, 4, 5, 6, 7, 8] },
    { lines: 'the first two swapped', from: [1, 0, 2, 3, 4, 5, 6, 7, 8] },
    { lines: 'two in the middle swapped', from: [0, 1, 3, 2, 4, 5, 6, 7, 8] },
    { lines: 'the last two swapped', from: [0, 1, 2, 3, 4, 5, 6, 8, 7] },
    { lines: 'reversed', from: [8, 7, 6, 5, 4, 3, 2, 1, 0] },
];

function rearranged(page, from, name) {
    const lines = page.bytes.toString('latin1').split('\n');
    const records = from.map((i) => lines[1 + i])
        .map((line, i) => line.replace(/^remplirTabFournisseur\(\d+,/, `remplirTabFournisseur(${i},`));
    const file = path.join(path.dirname(page.file), name);
    fs.writeFileSync(file, Buffer.from([lines[0], ...records, lines.at(-1)].join('\n'), 'latin1'));
    return { url: pathToFileURL(file).href, records };
}

describe('the order of the list', () => {
    for (const [n, { lines, from }] of cases.entries()) {
        test(`record lines ${lines}: names sorted, equal names in the order of their lines`, async () => {
            const tsv = path.join(suite.pages.dir, 'order.tsv');
            fs.writeFileSync(tsv, contacts.map(([nom, adresse]) => `${nom}\t${adresse}\t\t\t\t\t\t\n`).join(''));
            const page = suite.pages.write(tsv, { options: ['--from', 'tsv'] });
            const { url, records } = rearranged(page, from, `${n}.html`);
            // The contacts in the new page's line order, then sorted (sort() is stable).
            const expected = records
                .map((line) => contacts.find(([, adresse]) => line.includes(`"${adresse}"`)))
                .sort(([a], [b]) => inPageOrder(a, b))
                .map(([nom, adresse]) => `${nom} | ${adresse}`);
            await visit(suite.browser, url, async (v) => {
                const shown = [];
                for (let i = 0; i < contacts.length; ++i) {
                    await v.choose(i);
                    const { nom, adresse } = await v.fields();
                    shown.push(`${nom} | ${adresse}`);
                }
                assert.deepEqual(shown, expected);
            });
        });
    }
});
