/**
 * The library over a WebAssembly instance of your own, for code that must
 * not wait at import (a worker bundled as a classic script): the same
 * functions as the package's main module, as methods.
 */
import type {
  Card, CardOptions, CheckOptions, Generated, Network, OutputOptions, Verdict,
} from './pellorin.js';

export declare const MAX_ARRAY: number;

export declare class Engine {
  private constructor();
  generate(options: CardOptions & ({ withExpiry: true } | { withCvv: true })): Generated<Card>;
  generate(options?: CardOptions & { withExpiry?: false; withCvv?: false }): Generated<string>;
  generate(options?: CardOptions): Generated<string | Card>;
  cards(options?: CardOptions): Generator<string | Card, void, undefined>;
  generateText(options?: OutputOptions): string;
  generateBlocks(options: OutputOptions | undefined, write: (block: Uint8Array) => boolean | void): bigint;
  check(text: string, options?: CheckOptions): Verdict;
  checkLines(text: string, options?: CheckOptions & { null?: boolean }): Array<Verdict & { line: number }>;
  networks(): Network[];
}

/** Starts a WebAssembly instance of its own. */
export declare function loadEngine(): Promise<Engine>;
