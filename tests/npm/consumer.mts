// A TypeScript user's file: what must compile, and (@ts-expect-error) what
// the declarations must refuse.
import { cards, check, generate, generateText, networks, pellorinFaker } from 'pellorin';
import { loadEngine } from 'pellorin/engine';

const numbers: string[] = generate({ brand: 'mir', count: 3, seed: 1n });
const seed: bigint = numbers.length > 0 ? generate().seed : 0n;
const records = generate({ brand: 'amex', withExpiry: true, month: '2026-01' });
const cvv: string | undefined = records[0].cvv;
for (const card of cards({ withCvv: true, count: 10n })) card.network.toUpperCase();
const csv: string = generateText({ format: 'csv', noHeader: true, seed });
const reasons: string[] = check('4111 1111 1111 1111', { allowUnknown: true }).reasons;
const codes: number[] = networks().map((network) => network.codeLength);
const faker = { number: { int: ({ min }: { min: number; max: number }) => min } };
const fakerCard: string = pellorinFaker(faker).card({ brand: 'visa' }).expiry;
const engine = await loadEngine();
engine.generate({ count: 1 });

// @ts-expect-error a count is a number or a bigint
generate({ count: '10' });
// @ts-expect-error records are not strings
const wrong: string[] = generate({ withCvv: true });
// @ts-expect-error only written output has a format
generate({ format: 'csv' });
// @ts-expect-error no such rule
generate({ invalid: 'checksum' });
// @ts-expect-error faker draws the seed
pellorinFaker(faker).cardNumber({ seed: 1 });

export { cvv, csv, reasons, codes, fakerCard, wrong };
