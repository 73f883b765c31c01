// What a visitor does on a directory page, and what the page shows back.
// Every alert is recorded and dismissed; every script error and console
// error is recorded. visit() fails the test on an error, and on an alert the
// test did not take with takeAlerts().

import assert from 'node:assert/strict';

const control = {
    search: 'input[type="text"][name="Recherche"]',
    go: 'input[type="button"][value="Go"]',
    list: 'select[name="selection"]',
    next: 'input[type="button"][value="  >>  "]',
    previous: 'input[type="button"][value="  <<  "]',
    goToSite: 'input[type="button"][value="Aller"]',
};

export class Visitor {
    constructor(page) {
        this.page = page;
        this.alerts = [];
        this.errors = [];
        page.on('dialog', (dialog) => {
            this.alerts.push(dialog.type() === 'alert' ? dialog.message() : `${dialog.type()}: ${dialog.message()}`);
            return dialog.accept();
        });
        page.on('pageerror', (error) => this.errors.push(`pageerror: ${error.message}`));
        page.on('console', (message) => {
            if (message.type() === 'error') {
                this.errors.push(`console: ${message.text()}`);
            }
        });
    }

    async open(url) {
        await this.page.goto(url, { waitUntil: 'load' });
    }

    // The alerts shown since the last call, oldest first.
    takeAlerts() {
        return this.alerts.splice(0);
    }

    // The names the list shows, top to bottom.
    listNames() {
        return this.page.$$eval(`${control.list} option`, (options) => options.map((o) => o.text));
    }

    // The row each list entry stands for (the entries' values).
    listValues() {
        return this.page.$$eval(`${control.list} option`, (options) => options.map((o) => o.value));
    }

    selectedIndex() {
        return this.page.$eval(control.list, (list) => list.selectedIndex);
    }

    // The eight detail fields, named as the contact's fields.
    fields() {
        return this.page.evaluate(() => {
            const f = document.forms.form1;
            return {
                nom: f.nom.value,
                adresse: f.adresse.value,
                tel: f.tel.value,
                gsm: f.gsm.value,
                fax: f.Fax.value,
                mail: f.Mail.value,
                site: f.site.value,
                commentaire: f.commentaire.value,
            };
        });
    }

    // Everything a test compares after an action: list, selection, fields.
    async state() {
        return {
            names: await this.listNames(),
            selectedIndex: await this.selectedIndex(),
            fields: await this.fields(),
        };
    }

    // Picks the list entry at a position, as a click in the list does.
    async choose(index) {
        await this.page.selectOption(control.list, { index });
    }

    // Types a text in the search field and presses "Go".
    async search(text) {
        await this.page.fill(control.search, text);
        await this.page.click(control.go);
    }

    // Follows the letter link "A" to "Z".
    async followLetter(letter) {
        await this.page.getByRole('link', { name: letter, exact: true }).click();
    }

    async showAll() {
        await this.page.getByRole('link', { name: '.:: Afficher tous ::.', exact: true }).click();
    }

    async next() {
        await this.page.click(control.next);
    }

    async previous() {
        await this.page.click(control.previous);
    }

    async goToSite() {
        await this.page.click(control.goToSite);
    }
}

export const emptyFields = Object.freeze({
    nom: '',
    adresse: '',
    tel: '',
    gsm: '',
    fax: '',
    mail: '',
    site: '',
    commentaire: '',
});

// Opens the page at url in a new tab of the browser, runs the test body with a
// Visitor, then checks that the page raised no script error and showed no
// alert that the body did not take.
export async function visit(browser, url, body) {
    const page = await browser.context.newPage();
    page.setDefaultTimeout(15_000);
    const visitor = new Visitor(page);
    try {
        await visitor.open(url);
        await body(visitor);
    } catch (error) {
        // A script error usually explains a failed check: say it first.
        if (visitor.errors.length > 0) {
            error.message = `${visitor.errors.join('\n')}\n${error.message}`;
        }
        throw error;
    } finally {
        await page.close();
    }
    assert.deepEqual(visitor.errors, [], 'the page reported errors');
    assert.deepEqual(visitor.takeAlerts(), [], 'the page showed alerts the test did not expect');
}
