// Test payment-card numbers for test suites. The module is ready when the
// import is: its WebAssembly starts once, at import, so every call after
// that is synchronous.
import { loadEngine } from './engine.js';

const engine = await loadEngine();

export const generate = (options) => engine.generate(options);
export const cards = (options) => engine.cards(options);
export const generateText = (options) => engine.generateText(options);
export const generateBlocks = (options, write) => engine.generateBlocks(options, write);
export const check = (text, options) => engine.check(text, options);
export const checkLines = (text, options) => engine.checkLines(text, options);
export const networks = () => engine.networks();

// Draws 64 bits from faker's own generator, so faker.seed(n) makes the
// same cards again. Faker 8 and later have faker.number, older ones
// faker.datatype.number.
function seedDrawer(faker) {
  const draw = faker && faker.number && typeof faker.number.int === 'function'
    ? () => faker.number.int({ min: 0, max: 0xffffffff })
    : faker.datatype && typeof faker.datatype.number === 'function'
      ? () => faker.datatype.number({ min: 0, max: 0xffffffff })
      : null;
  if (!draw) {
    throw new TypeError('expected a faker instance (from @faker-js/faker), with number.int or datatype.number');
  }
  return () => (BigInt(draw()) << 32n) | BigInt(draw());
}

// Card numbers and cards for users of @faker-js/faker, each drawn with a
// seed taken from `faker`: cardNumber({brand: 'mir', invalid: 'luhn'}).
export function pellorinFaker(faker) {
  const drawSeed = seedDrawer(faker);
  const one = (options, extras) => {
    if (options !== undefined && (options === null || typeof options !== 'object')) {
      throw new TypeError(`expected an object of options, got ${String(options)}`);
    }
    for (const key of ['count', 'seed']) {
      if (options && key in options) {
        throw new TypeError(`unknown option '${key}': faker draws the seed, and each call makes one card`);
      }
    }
    return engine.generate({ ...options, ...extras, count: 1, seed: drawSeed() })[0];
  };
  return {
    cardNumber: (options) => one(options, { withExpiry: false, withCvv: false }),
    card: (options) => one(options, { withExpiry: true, withCvv: true }),
  };
}
