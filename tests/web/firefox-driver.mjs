// Firefox ESR for the page's tests, over WebDriver BiDi with puppeteer-core:
// reads one JSON command a line on standard input and answers each with one
// JSON line, so the Python tests drive it as they drive Chromium.
//   {"op": "open", "url": ...}            -> {"ok": true}
//   {"op": "js", "script": ..., "args": [...]}: the script's return value
//   {"op": "keys", "id": ..., "keys": [...]}: presses keys in an element
import { createInterface } from 'node:readline';
import { createRequire } from 'node:module';

const require = createRequire(`${process.argv[2]}/`);
const puppeteer = require('puppeteer-core');

const browser = await puppeteer.launch({
  browser: 'firefox',
  executablePath: '/usr/bin/firefox-esr',
  headless: true,
});
const page = await browser.newPage();
const answer = (value) => process.stdout.write(`${JSON.stringify(value)}\n`);

const ops = {
  open: async ({ url }) => { await page.goto(url); },
  js: async ({ script, args }) => page.evaluate(
    (body, values) => new Function(body)(...values), script, args || []),
  keys: async ({ id, keys }) => {
    await page.focus(`#${id}`);
    for (const key of keys) {
      await page.keyboard.press(key);
    }
  },
};

answer({ ok: true, value: 'started' });
for await (const line of createInterface({ input: process.stdin })) {
  const command = JSON.parse(line);
  if (command.op === 'quit') {
    break;
  }
  try {
    answer({ ok: true, value: (await ops[command.op](command)) ?? null });
  } catch (error) {
    answer({ ok: false, error: String(error && error.message ? error.message : error) });
  }
}
await browser.close();
