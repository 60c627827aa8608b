// The table of seeded outputs every face and language passes
// (PELLORIN_GOLDEN), here through the installed package.
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';

import { generateBlocks } from 'pellorin';

const camel = (name) => name.replace(/_([a-z])/g, (_, c) => c.toUpperCase());
const WHOLE = new Set(['count', 'length']);

const rows = readFileSync(process.env.PELLORIN_GOLDEN, 'utf8').split('\n')
  .filter((line) => line && !line.startsWith('#'))
  .map((line) => line.split('\t'));

test('the table has rows', () => assert.ok(rows.length > 10));

for (const [brand, seed, options, sha256] of rows) {
  test(`${brand} ${seed} ${options}`, () => {
    const asked = { seed: BigInt(seed), month: '2026-01' };
    if (brand !== '-') asked.brand = brand;
    for (const word of options === '-' ? [] : options.split(' ')) {
      const [name, value] = word.split('=');
      asked[camel(name)] = value === undefined ? true : WHOLE.has(name) ? Number(value) : value;
    }
    const hash = createHash('sha256');
    generateBlocks(asked, (block) => { hash.update(block); });
    assert.equal(hash.digest('hex'), sha256);
  });
}
