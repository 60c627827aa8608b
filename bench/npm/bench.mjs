// The npm package beside @faker-js/faker in one run: 1,000,000 Visa numbers
// in Node, as an array of strings (what faker-js makes), as one text and as
// bytes a block at a time. Wall time and the process's CPU time, since a
// busy machine stretches the first. Usage: node bench.mjs PACKAGE_DIR
// [NODE_MODULES] (NODE_MODULES holding @faker-js/faker, as bench/npm's lock
// file pins it).
import { existsSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const COUNT = 1_000_000;
const [packageDir, nodeModules] = process.argv.slice(2);
const pellorin = await import(pathToFileURL(resolve(packageDir, 'src', 'pellorin.js')));

// The best wall and CPU seconds of `rounds`, after one round to warm the
// engines up; `make` returns how many numbers it made.
function best(rounds, count, make) {
  const fastest = { wall: Infinity, cpu: Infinity };
  for (let round = 0; round <= rounds; round += 1) {
    const cpuStart = process.cpuUsage();
    const start = performance.now();
    const made = make();
    const wall = (performance.now() - start) / 1000;
    const used = process.cpuUsage(cpuStart);
    if (made !== count) throw new Error(`made ${made} numbers, not ${count}`);
    if (round > 0) {
      fastest.wall = Math.min(fastest.wall, wall);
      fastest.cpu = Math.min(fastest.cpu, (used.user + used.system) / 1e6);
    }
  }
  return fastest;
}

const report = (what, { wall, cpu }) =>
  console.log(`${what.padEnd(58)} ${wall.toFixed(3)} s  (CPU ${cpu.toFixed(3)} s)`);

const visa = { brand: 'visa', count: COUNT, seed: 1n };
const ours = {
  'an array': best(5, COUNT, () => pellorin.generate(visa).length),
  'one text': best(5, COUNT, () => pellorin.generateText(visa).length / 17),
  'bytes': best(5, COUNT, () => {
    let size = 0;
    pellorin.generateBlocks(visa, (block) => { size += block.length; });
    return size / 17;
  }),
};
// What any array of a million strings costs here: cut from one text in
// plain JavaScript, with nothing made.
const text = pellorin.generateText(visa);
const floor = best(5, COUNT, () => {
  const numbers = new Array(COUNT);
  for (let i = 0; i < COUNT; i += 1) numbers[i] = text.substring(i * 17, i * 17 + 16);
  return numbers.length;
});
report('plain JavaScript: 1,000,000 strings cut from one text', floor);
report('pellorin generate(): an array of 1,000,000 Visa numbers', ours['an array']);
report('pellorin generateText(): the same numbers as one text', ours['one text']);
report('pellorin generateBlocks(): the same as bytes', ours.bytes);

const fakerEntry = nodeModules && join(nodeModules, '@faker-js', 'faker', 'dist', 'index.js');
if (!fakerEntry || !existsSync(fakerEntry)) {
  console.log('SKIP @faker-js/faker: not installed (bench/npm/package-lock.json pins it; npm ci there)');
} else {
  const { faker } = await import(pathToFileURL(fakerEntry));
  faker.seed(1);
  const theirs = best(1, COUNT, () => {
    const numbers = new Array(COUNT);
    for (let i = 0; i < COUNT; i += 1) numbers[i] = faker.finance.creditCardNumber('visa');
    return numbers.length;
  });
  report('@faker-js/faker finance.creditCardNumber(\'visa\') x 1,000,000', theirs);
  const helper = pellorin.pellorinFaker(faker);
  report('pellorinFaker(faker).cardNumber() x 100,000',
    best(1, COUNT / 10, () => Array.from({ length: COUNT / 10 }, () => helper.cardNumber()).length));
  for (const [what, time] of Object.entries(ours)) {
    console.log(`pellorin as ${what}: ${(theirs.wall / time.wall).toFixed(1)} x faker-js `
      + `(CPU ${(theirs.cpu / time.cpu).toFixed(1)} x; goal: at least 50 x)`);
  }
}
