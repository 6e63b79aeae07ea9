// SPDX-License-Identifier: Apache-2.0
// Checks a vCard 4.0 export as Thunderbird's address book reads it: with
// ical.js, the parser Thunderbird reads vCards with, value by value against
// the plain CSV export of the same database (the 33 values by their XML
// attribute names, dates in the C locale's "MM/DD/YYYY").
//
//   node check_vcards_ical.mjs CSV VCF [--expect-reserved]
//
// --expect-reserved also requires the nicknames, job titles and notes to
// hold semicolons, commas and backslashes, each in some value: without them
// the check would not show that those come back whole.
// Prints each mismatch and exits 1 if there is any; prints how many values
// it compared.
import { readFileSync } from "node:fs";

let ICAL;
try {
  ({ default: ICAL } = await import("ical.js"));
} catch (e) {
  console.log(`ical.js is not installed beside this script: run "npm ci" in tests/export (./dev build does). ${e}`);
  process.exit(1);
}

const problems = [];
let compared = 0;

function check(where, what, want, got) {
  compared++;
  const w = JSON.stringify(want), g = JSON.stringify(got);
  if (w !== g) problems.push(`${where}: ${what}: want ${w.slice(0, 150)}, got ${g.slice(0, 150)}`);
}

// RFC 4180: fields separated by commas, records by CRLF, a quoted field
// may hold commas, line breaks and doubled quotes.
function parseCsv(text) {
  const records = [];
  let record = [], field = "", i = 0;
  while (i < text.length) {
    const c = text[i];
    if (c === '"') {
      for (i++; i < text.length; i++) {
        if (text[i] !== '"') field += text[i];
        else if (text[i + 1] === '"') field += text[i++];
        else break;
      }
      i++;
    } else if (c === ",") {
      record.push(field);
      field = "";
      i++;
    } else if (c === "\r" && text[i + 1] === "\n") {
      record.push(field);
      records.push(record);
      record = [];
      field = "";
      i += 2;
    } else {
      field += c;
      i++;
    }
  }
  if (field !== "" || record.length) records.push([...record, field]);
  const [head, ...rows] = records;
  return rows.map(r => Object.fromEntries(head.map((k, j) => [k, r[j]])));
}

// "MM/DD/YYYY" -> "YYYY-MM-DD"; 1899-12-30 is the stored zero.
function iso(date) {
  if (!date) return "";
  const [m, d, y] = date.split("/");
  return y === "1899" && m === "12" && d === "30" ? "" : `${y}-${m}-${d}`;
}

// Line breaks as a reader gives them back.
const lines = text => text.replace(/\r\n/g, "\n").replace(/\r/g, "\n");

function displayName(r) {
  const names = [r.first_name, r.middle_name, r.last_name].filter(Boolean).join(" ");
  if (names) return names;
  for (const k of ["nick_name", "company", "personal_email", "work_email", "other_email", "wlm_address",
                   "home_phone", "work_phone", "mobile_phone", "other_phone", "pager", "home_fax",
                   "other_im_address", "personal_website", "work_website"])
    if (r[k]) return r[k];
  return "(no name)";
}

// The values of one property by their TYPE parameter ("HOME,VOICE").
function byType(card, name) {
  const out = {};
  for (const p of card.getAllProperties(name)) {
    const type = [].concat(p.getParameter("type") ?? []).join(",").toUpperCase();
    out[type] = String(p.getFirstValue());
  }
  return out;
}

function first(card, name) {
  const p = card.getFirstProperty(name);
  return p ? p.getFirstValue() : undefined;
}

function text(card, name) {
  const v = first(card, name);
  return v === undefined ? "" : String(v);
}

function checkCard(where, r, card) {
  check(where, "VERSION", "4.0", text(card, "version"));
  check(where, "FN", lines(displayName(r)), text(card, "fn"));
  check(where, "N", [r.last_name, r.first_name, r.middle_name, "", ""].map(lines), first(card, "n") ?? null);
  for (const [prop, key] of [["nickname", "nick_name"], ["title", "job_title"], ["note", "notes"],
                             ["related", "significant_other"]])
    check(where, prop.toUpperCase(), lines(r[key]), text(card, prop));
  // A structured value of one component comes back as a plain string.
  const org = first(card, "org");
  check(where, "ORG", r.company ? [lines(r.company)] : null, org === undefined ? null : [].concat(org));
  const pick = keys => Object.fromEntries(keys.filter(([, k]) => r[k]).map(([t, k]) => [t, r[k]]));
  check(where, "EMAIL", pick([["HOME", "personal_email"], ["WORK", "work_email"], ["OTHER", "other_email"],
                              ["X-WLM", "wlm_address"]]), byType(card, "email"));
  check(where, "TEL", pick([["HOME,VOICE", "home_phone"], ["WORK,VOICE", "work_phone"], ["CELL", "mobile_phone"],
                            ["VOICE", "other_phone"], ["PAGER", "pager"], ["HOME,FAX", "home_fax"]]),
        byType(card, "tel"));
  check(where, "URL", pick([["HOME", "personal_website"], ["WORK", "work_website"]]), byType(card, "url"));
  const addresses = {};
  for (const p of card.getAllProperties("adr"))
    addresses[String(p.getParameter("type")).toUpperCase()] = p.getFirstValue();
  for (const [t, keys] of [["HOME", ["street_address", "city", "state_province", "zip_postal_code", "country_region"]],
                           ["WORK", ["work_street_address", "work_city", "work_state_province",
                                     "work_zip_postal_code", "work_country_region"]]]) {
    const want = keys.some(k => r[k]) ? ["", "", ...keys.map(k => lines(r[k]))] : null;
    check(where, "ADR " + t, want, addresses[t] ?? null);
  }
  check(where, "BDAY", iso(r.birthday), text(card, "bday"));
  check(where, "ANNIVERSARY", iso(r.anniversary), text(card, "anniversary"));
  const im = r.other_im_address;
  check(where, "IMPP", im ? (/^[A-Za-z][A-Za-z0-9+.-]*:./.test(im) ? im : "msnim:" + im) : "", text(card, "impp"));
  return text(card, "uid");
}

const rows = parseCsv(readFileSync(process.argv[2], "utf8"));
let parsed = ICAL.parse(readFileSync(process.argv[3], "utf8"));
if (parsed.length && typeof parsed[0] === "string") parsed = [parsed];  // a file of one card
const cards = parsed.map(jcard => new ICAL.Component(jcard));
check("file", "cards", rows.length, cards.length);
const uids = rows.slice(0, cards.length).map((r, i) => checkCard(`card ${i}`, r, cards[i]));
check("file", "distinct UIDs", uids.length, new Set(uids).size);
if (process.argv.includes("--expect-reserved")) {
  for (const key of ["nick_name", "job_title", "notes"])
    for (const c of [";", ",", "\\"])
      check("file", `${key} values holding ${c}`, true, rows.some(r => r[key].includes(c)));
}
for (const line of problems.slice(0, 40)) console.log(line);
console.log(`${problems.length} of ${compared} values differ`);
process.exit(problems.length ? 1 : 0);
