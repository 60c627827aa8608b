/**
 * Well-formed test payment-card numbers for test suites, made by the same
 * engine as `pellorin-cli`: a seed gives the same numbers here, on the
 * command line, in C++ and in Python.
 *
 * Errors are `TypeError` (an option of the wrong type or name) or
 * `RangeError` (a value it cannot make), with the words `pellorin-cli`
 * prints, and `option` naming the option as these options name it.
 */

/** A network id as {@link networks} lists it. */
export type Brand =
  | 'visa' | 'mastercard' | 'amex' | 'discover' | 'jcb' | 'diners' | 'unionpay' | 'maestro'
  | 'mir' | 'rupay' | 'elo' | 'hipercard' | 'troy' | 'verve' | 'uatp' | 'dankort'
  | (string & {});

/** What to make: `pellorin-cli generate`'s options, in camel case. */
export interface CardOptions {
  /** A network id (default `'visa'`, or none with `prefix`). */
  brand?: Brand;
  /** `'window'` (the default: the classic numbers of the five window networks) or `'network'` (every published range). */
  ranges?: 'window' | 'network';
  /** An issuer prefix (BIN) of your own, with `length`. */
  prefix?: string;
  /** Digits per number: one of the network's lengths, 12 to 19 with `prefix`. */
  length?: number | bigint;
  /**
   * The one rule every card breaks on purpose: its check digit, its length,
   * its prefix; with `withExpiry` an expired date (`expiry`) or a month 00 or
   * 13 (`month`); with `withCvv` a code of the wrong length (`code`).
   */
  invalid?: 'luhn' | 'length' | 'prefix' | 'expiry' | 'month' | 'code';
  /** Numbers in the network's groups: `'4539 1488 0343 6467'`. */
  group?: boolean;
  /** One character between groups instead of a blank (implies `group`). */
  separator?: string;
  /** How many (default 10). */
  count?: number | bigint;
  /** 0 to 2^64-1: the same numbers every time, everywhere. Without it, one nobody can foresee. */
  seed?: number | bigint;
  /** No number twice. */
  unique?: boolean;
  /** Add an expiry month `MM/YY`, 1 to 60 months after `month`. */
  withExpiry?: boolean;
  /** Add a security code of the network's length. */
  withCvv?: boolean;
  /** The month expiry dates count from, `'YYYY-MM'` or a Date (its UTC month); default the current month in UTC. */
  month?: string | Date;
}

/** What to write: {@link CardOptions} and the output's shape. */
export interface OutputOptions extends CardOptions {
  /** Default `'text'`. */
  format?: 'text' | 'csv' | 'tsv' | 'json' | 'ndjson' | 'table';
  /** Each record ends in NUL instead of a line end (not json). */
  null?: boolean;
  /** csv and table without their heading line. */
  noHeader?: boolean;
}

/** A card with its extras. */
export interface Card {
  /** As printed: grouped when asked. */
  number: string;
  /** `MM/YY`, with `withExpiry`. */
  expiry?: string;
  /** With `withCvv`. */
  cvv?: string;
  /** The network's name, `'Visa'`, or `'Custom'` for a prefix of no network. */
  network: string;
}

/** What {@link generate} returns: the cards, and the seed value that makes them again. */
export type Generated<T> = T[] & { readonly seed: bigint };

type WithExtras = { withExpiry: true } | { withCvv: true };

/**
 * The numbers, at most 10,000,000 of them (more is for {@link cards}): strings,
 * or {@link Card} records when `withExpiry` or `withCvv` is asked.
 */
export function generate(options: CardOptions & WithExtras): Generated<Card>;
export function generate(options?: CardOptions & { withExpiry?: false; withCvv?: false }): Generated<string>;
export function generate(options?: CardOptions): Generated<string | Card>;

/** The same cards as {@link generate}, any number of them, made as they are read. */
export function cards(options: CardOptions & WithExtras): Generator<Card, void, undefined>;
export function cards(options?: CardOptions & { withExpiry?: false; withCvv?: false }): Generator<string, void, undefined>;
export function cards(options?: CardOptions): Generator<string | Card, void, undefined>;

/** The bytes `pellorin-cli generate` writes for the options, as a string. */
export function generateText(options?: OutputOptions): string;

/**
 * The same bytes, handed to `write` a block at a time (for a file or a
 * stream); `write` returns false to stop there. Returns the seed.
 */
export function generateBlocks(options: OutputOptions | undefined, write: (block: Uint8Array) => boolean | void): bigint;

/** How `check` judges, as `pellorin-cli check`'s options. */
export interface CheckOptions {
  /** A number that no network issues passes on its length and check digit. */
  allowUnknown?: boolean;
}

/** What `pellorin-cli check` says of a line. */
export interface Verdict {
  valid: boolean;
  /** The digits read; empty for an unreadable line. */
  number: string;
  /** The rules broken: `'luhn'`, `'length'`, `'prefix'`, or `'unreadable'`; empty when valid. */
  reasons: string[];
  /** The names of the networks that claim it, the most specific first. */
  networks: string[];
  /** Why an unreadable line could not be read. */
  problem?: string;
}

/** Judges one number or one line in any shape generate writes (`'4539 1488 0343 6467'`, a csv or json record). */
export function check(text: string, options?: CheckOptions): Verdict;

/** Judges every line of a text, leaving out blank lines and headings as `pellorin-cli check` does. */
export function checkLines(text: string, options?: CheckOptions & { null?: boolean }): Array<Verdict & { line: number }>;

/** Issuer prefixes `first` to `last`, of as many digits each. */
export interface PrefixRange {
  first: string;
  last: string;
  lengths: number[];
  /** The ids of the other networks that claim some of them. */
  sharedWith: string[];
}

/** A card network as `pellorin-cli brands` lists it. */
export interface Network {
  id: string;
  name: string;
  /** Every length it issues, shortest first. */
  lengths: number[];
  commonLength: number;
  codeLength: number;
  /** How numbers of each length print: `{length: 16, groups: '4-4-4-4'}`. */
  groups: Array<{ length: number; groups: string }>;
  ranges: PrefixRange[];
}

/** Every network, in `pellorin-cli brands`' order. */
export function networks(): Network[];

/** The least of @faker-js/faker that {@link pellorinFaker} draws from: `faker.number.int` (8 and later) or `faker.datatype.number` (older). */
export interface FakerLike {
  number?: { int(options: { min: number; max: number }): number };
  datatype?: { number(options: { min: number; max: number }): number };
}

/** Cards drawn with seeds taken from a faker instance, so `faker.seed(n)` makes them again. */
export interface PellorinFaker {
  /** One number, as {@link generate} makes it. */
  cardNumber(options?: Omit<CardOptions, 'count' | 'seed' | 'withExpiry' | 'withCvv'>): string;
  /** One card with its expiry and code. */
  card(options?: Omit<CardOptions, 'count' | 'seed' | 'withExpiry' | 'withCvv'>): Required<Card>;
}

export function pellorinFaker(faker: FakerLike): PellorinFaker;
