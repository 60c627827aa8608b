// The installed package against pellorin-cli (PELLORIN_CLI): the same
// bytes, verdicts, networks and refusals, and what only the package has.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

import {
  cards, check, checkLines, generate, generateBlocks, generateText, networks, pellorinFaker,
} from 'pellorin';

const CLI = process.env.PELLORIN_CLI;
const MONTH_EPOCH = { SOURCE_DATE_EPOCH: '1767225600' }; // January 2026

function cli(args, input) {
  return spawnSync(CLI, args, { input, env: { ...process.env, ...MONTH_EPOCH }, maxBuffer: 1 << 28 });
}

test('generateText writes the bytes pellorin-cli writes', async (t) => {
  const rows = [
    [{ brand: 'visa', count: 20_000, seed: 1n }, ['--brand', 'visa', '-n', '20000', '-s', '1']],
    [{ brand: 'amex', group: true, separator: '-', count: 5, seed: 2 }, ['-b', 'amex', '--separator', '-', '-n', '5', '-s', '2']],
    [{ brand: 'mir', withExpiry: true, withCvv: true, format: 'json', seed: 18446744073709551615n },
      ['-b', 'mir', '--with-expiry', '--with-cvv', '-f', 'json', '-s', '18446744073709551615']],
    [{ prefix: '412345', length: 19, unique: true, format: 'csv', noHeader: true, count: 300, seed: 9 },
      ['-p', '412345', '-l', '19', '-u', '-f', 'csv', '--no-header', '-n', '300', '-s', '9']],
    [{ brand: 'maestro', invalid: 'length', format: 'ndjson', null: true, seed: 3 },
      ['-b', 'maestro', '--invalid', 'length', '-f', 'ndjson', '-z', '-s', '3']],
    [{ brand: 'discover', invalid: 'month', withExpiry: true, format: 'tsv', count: 50, seed: 4 },
      ['-b', 'discover', '--invalid', 'month', '--with-expiry', '-f', 'tsv', '-n', '50', '-s', '4']],
  ];
  for (const [options, args] of rows) {
    await t.test(args.join(' '), () => {
      const run = cli(['generate', ...args]);
      assert.equal(run.status, 0, run.stderr.toString());
      assert.equal(generateText({ month: '2026-01', ...options }), run.stdout.toString());
      const blocks = [];
      assert.equal(generateBlocks({ month: '2026-01', ...options }, (b) => { blocks.push(b); }), BigInt(options.seed));
      assert.deepEqual(Buffer.concat(blocks), run.stdout);
    });
  }
});

test('generateBlocks stops where write says so, and write may call the library', () => {
  const whole = generateText({ count: 100_000, seed: 8 });
  const blocks = [];
  const inner = [];
  generateBlocks({ count: 100_000, seed: 8 }, (block) => {
    inner.push(generate({ count: 1, seed: 8 })[0]);
    return blocks.push(block) < 2;
  });
  assert.deepEqual(inner, [whole.slice(0, 16), whole.slice(0, 16)]);
  const taken = Buffer.concat(blocks).toString();
  assert.equal(blocks.length, 2);
  assert.ok(taken.length < whole.length && whole.startsWith(taken));
});

test('generate and cards give the text output\'s numbers and fields', () => {
  const text = generateText({ brand: 'jcb', count: 70_000, seed: 5n }).split('\n').slice(0, -1);
  assert.deepEqual([...generate({ brand: 'jcb', count: 70_000, seed: 5n })], text);
  assert.deepEqual([...cards({ brand: 'jcb', count: 70_000, seed: 5n })], text);
  const records = generate({ brand: 'amex', group: true, withExpiry: true, withCvv: true, month: new Date(Date.UTC(2026, 0, 15)), count: 3, seed: 4 });
  const lines = generateText({ brand: 'amex', group: true, withExpiry: true, withCvv: true, month: '2026-01', count: 3, seed: 4, format: 'csv', noHeader: true });
  assert.deepEqual(records.map((c) => `${c.number},${c.network},${c.expiry},${c.cvv}\r\n`).join(''), lines);
  assert.deepEqual(generate({ brand: 'uatp', withCvv: true, count: 1, seed: 1 })[0].expiry, undefined);
});

test('a run without a seed tells the seed that makes it again', () => {
  const first = generate({ count: 50 });
  const second = generate({ count: 50 });
  assert.notDeepEqual([...first], [...second]);
  assert.deepEqual([...generate({ count: 50, seed: first.seed })], [...first]);
});

test('cards closes a range left early and reads any count', () => {
  for (let round = 0; round < 3; round += 1) {
    for (const number of cards({ count: 10n ** 18n, seed: 1 })) {
      assert.match(number, /^4[0-9]{15}$/);
      break;
    }
  }
  assert.throws(() => cards({ brand: 'nope' }), RangeError);
  assert.throws(() => cards({ unique: true, count: 2n ** 37n }), /^RangeError: not enough memory: --unique needs/);
  assert.equal(generate({ count: 1, seed: 1 })[0], '4722331317561312');
});

test('refusals are TypeError or RangeError in pellorin-cli\'s words', async (t) => {
  const rows = [
    [{ count: -1 }, ['-n', '-1'], RangeError, 'count'],
    [{ seed: 18446744073709551616n }, ['-s', '18446744073709551616'], RangeError, 'seed'],
    [{ brand: 'visa', length: 99 }, ['-b', 'visa', '-l', '99'], RangeError, 'length'],
    [{ brand: 'foo' }, ['-b', 'foo'], RangeError, 'brand'],
    [{ invalid: 'x' }, ['--invalid', 'x'], RangeError, 'invalid'],
    [{ prefix: '4x', length: 16 }, ['-p', '4x', '-l', '16'], RangeError, 'prefix'],
    [{ separator: 'ab' }, ['--separator', 'ab'], RangeError, 'separator'],
    [{ brand: 'amex', prefix: '34', length: 15 }, ['-b', 'amex', '-p', '34', '-l', '15'], RangeError, undefined],
    [{ count: 3, unique: true, prefix: '411111111111111', length: 16 }, ['-n', '3', '-u', '-p', '411111111111111', '-l', '16'], RangeError, undefined],
  ];
  for (const [options, args, Kind, option] of rows) {
    await t.test(args.join(' '), () => {
      const run = cli(['generate', ...args]);
      assert.equal(run.status, 2);
      const words = run.stderr.toString().split('\n')[0].replace(/^pellorin-cli: error: /, '');
      assert.throws(() => generate(options), (error) => {
        assert.ok(error instanceof Kind, `${error.constructor.name}: ${error.message}`);
        assert.equal(error.message, words);
        if (option) assert.equal(error.option, option);
        return true;
      });
    });
  }
});

test('options of the wrong name, type or size are refused before any work', () => {
  const rows = [
    [{ brnad: 'visa' }, TypeError, /unknown option 'brnad'/],
    [{ count: '10' }, TypeError, /^--count: expected a number or a bigint, got '10'$/],
    [{ withExpiry: 'yes' }, TypeError, /^--with-expiry: expected true or false/],
    [{ format: 'csv' }, TypeError, /^--format: only generateText/],
    [{ count: 1.5 }, RangeError, /^--count: expected a whole number from 0 to 9223372036854775807, got '1.5'$/],
    [{ seed: 2 ** 60 }, RangeError, /give a bigint/],
    [{ count: 10_000_001 }, RangeError, /cards\(\) gives any number/],
    [{ month: '2026-13' }, RangeError, /^--month: expected a month/],
    [{ brand: 'visa\0' }, RangeError, /no NUL/],
    ['visa', TypeError, /expected an object of options/],
  ];
  for (const [options, Kind, message] of rows) {
    assert.throws(() => generate(options), (error) => error instanceof Kind && message.test(error.message));
  }
});

test('check and checkLines give pellorin-cli check\'s verdicts', () => {
  const lines = [
    '4539 1488 0343 6467', '4539148803436468', '453914880343646', '9999999999999995',
    '6011000990139424', '3530111333300000', '4111111111111111,Visa,12/30,123', 'hello', '',
    '4111-1111-1111-1111 01/99 1234',
  ];
  const run = cli(['check', '--format', 'ndjson'], lines.join('\n') + '\n');
  const expected = run.stdout.toString().trim().split('\n').map((line) => JSON.parse(line));
  const verdicts = checkLines(lines.join('\n'));
  assert.equal(verdicts.length, expected.length);
  verdicts.forEach((verdict, i) => {
    assert.equal(verdict.line, expected[i].line);
    assert.equal(verdict.valid, expected[i].valid, lines[verdict.line - 1]);
    assert.deepEqual(verdict.networks, expected[i].networks ?? []);
    assert.deepEqual(check(lines[verdict.line - 1]), (({ line, ...rest }) => rest)(verdict));
  });
  assert.deepEqual(check('9999999999999995', { allowUnknown: true }).valid, true);
  assert.deepEqual(checkLines('4111111111111111\0hello\0', { null: true }).map((v) => v.valid), [true, false]);
  assert.throws(() => check(4111111111111111), TypeError);
});

test('networks lists what pellorin-cli brands lists', () => {
  const listed = JSON.parse(execFileSync(CLI, ['brands', '--format', 'json']).toString());
  const ours = networks();
  assert.deepEqual(ours.map((n) => n.id), listed.map((n) => n.id));
  assert.deepEqual(ours.map((n) => n.name), listed.map((n) => n.name));
  for (const network of ours) {
    for (const length of network.lengths) {
      const [number] = generate({ brand: network.id, length, count: 1, seed: 1 });
      assert.equal(number.length, length);
      assert.deepEqual(check(number).valid, true, `${network.id} ${number}`);
    }
  }
});

// The least of @faker-js/faker the helper uses, in both its shapes, with a
// generator seeded as faker.seed(n) seeds faker's.
function fakeFaker(shape) {
  let state = 0;
  const int = ({ min, max }) => {
    state = (Math.imul(state, 1103515245) + 12345) >>> 0;
    return min + (state % (max - min + 1));
  };
  const faker = { seed: (n) => { state = n; } };
  if (shape === 'number') faker.number = { int };
  else faker.datatype = { number: int };
  return faker;
}

test('pellorinFaker draws its seeds from faker', async (t) => {
  for (const shape of ['number', 'datatype']) {
    await t.test(shape, () => {
      const faker = fakeFaker(shape);
      const cardsOf = pellorinFaker(faker);
      faker.seed(42);
      const first = [cardsOf.cardNumber({ brand: 'mir', invalid: 'luhn' }), cardsOf.card({ brand: 'amex' })];
      faker.seed(42);
      assert.deepEqual([cardsOf.cardNumber({ brand: 'mir', invalid: 'luhn' }), cardsOf.card({ brand: 'amex' })], first);
      assert.equal(check(first[0]).reasons[0], 'luhn');
      assert.deepEqual(Object.keys(first[1]).sort(), ['cvv', 'expiry', 'network', 'number']);
      assert.notEqual(cardsOf.cardNumber(), cardsOf.cardNumber());
    });
  }
  assert.throws(() => pellorinFaker({}), TypeError);
  assert.throws(() => pellorinFaker(fakeFaker('number')).cardNumber({ seed: 1 }), TypeError);
});

test('pellorinFaker with @faker-js/faker itself (PELLORIN_FAKER)', async (t) => {
  const entry = process.env.PELLORIN_FAKER;
  if (!entry || !existsSync(entry)) {
    t.skip('@faker-js/faker is not installed: npm ci in a folder with bench/npm\'s lock file');
    return;
  }
  const { faker } = await import(pathToFileURL(entry));
  const cardsOf = pellorinFaker(faker);
  const draw = () => [cardsOf.cardNumber({ brand: 'troy' }), cardsOf.card(), faker.string.uuid()];
  faker.seed(7);
  const first = draw();
  faker.seed(7);
  assert.deepEqual(draw(), first);
  faker.seed(8);
  assert.notDeepEqual(draw()[0], first[0]);
  assert.equal(check(first[0]).networks[0], 'Troy');
});
