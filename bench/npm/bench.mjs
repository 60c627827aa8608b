// The npm package beside @faker-js/faker in one run: 1,000,000 Visa numbers
// into an array, in Node. Usage: node bench.mjs PACKAGE_DIR [NODE_MODULES]
// (NODE_MODULES holding @faker-js/faker, as bench/npm's lock file pins it).
import { existsSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const COUNT = 1_000_000;
const [packageDir, nodeModules] = process.argv.slice(2);
const pellorin = await import(pathToFileURL(resolve(packageDir, 'src', 'pellorin.js')));

// The best of `rounds`, after one round to warm the engines up.
function best(rounds, count, make) {
  let fastest = Infinity;
  let made = 0;
  for (let round = 0; round <= rounds; round += 1) {
    const start = performance.now();
    made = make().length;
    if (round > 0) fastest = Math.min(fastest, performance.now() - start);
  }
  if (made !== count) throw new Error(`made ${made} numbers, not ${count}`);
  return fastest / 1000;
}

const report = (what, seconds) => console.log(`${what.padEnd(52)} ${seconds.toFixed(3)} s`);

const array = best(5, COUNT, () => pellorin.generate({ brand: 'visa', count: COUNT, seed: 1n }));
report('pellorin generate(), 1,000,000 Visa numbers', array);
const text = best(5, COUNT, () => pellorin.generateText({ brand: 'visa', count: COUNT, seed: 1n }).split('\n').slice(0, -1));
report('pellorin generateText() split into lines', text);

const fakerEntry = nodeModules && join(nodeModules, '@faker-js', 'faker', 'dist', 'index.js');
if (!fakerEntry || !existsSync(fakerEntry)) {
  console.log('SKIP @faker-js/faker: not installed (bench/npm/package-lock.json pins it; npm ci there)');
} else {
  const { faker } = await import(pathToFileURL(fakerEntry));
  faker.seed(1);
  const fakerSeconds = best(1, COUNT, () => {
    const numbers = new Array(COUNT);
    for (let i = 0; i < COUNT; i += 1) numbers[i] = faker.finance.creditCardNumber('visa');
    return numbers;
  });
  report('@faker-js/faker finance.creditCardNumber(\'visa\')', fakerSeconds);
  const helper = pellorin.pellorinFaker(faker);
  const helperSeconds = best(1, COUNT / 10, () => Array.from({ length: COUNT / 10 }, () => helper.cardNumber()));
  report('pellorinFaker(faker).cardNumber(), 100,000 calls', helperSeconds);
  console.log(`pellorin is ${(fakerSeconds / array).toFixed(1)} x faker-js (goal: at least 50 x)`);
}
