#include "find/html_text.h"
#include "find/report_html.h"

namespace zelm {

namespace {

// The look: system fonts only (no font is fetched), colours shared by the pictures and their captions' keys.
// Sections off screen are laid out only when scrolled to, so that a page of thousands opens quickly.
constexpr std::string_view kStyle = R"(
body{font:14px/1.4 system-ui,"DejaVu Sans",sans-serif;margin:1em 2em;color:#222;background:#fff}
h1{font-size:1.4em;margin:.2em 0}h2{font-size:1.15em;margin:0 0 .2em;overflow-wrap:anywhere}
table{border-collapse:collapse}th,td{padding:2px 8px;text-align:left;vertical-align:top}
#sum{margin:.5em 0 2em}#sum th{background:#eef1f5;position:sticky;top:0}
#sum td:nth-child(2),#sum td:nth-child(5),#sum td:nth-child(7),#sum td:nth-child(8){text-align:right}
#sum tr:nth-child(even) td{background:#f7f8fa}#sum.js th{cursor:pointer}#sum.js th:hover{background:#dde3ea}
#sum td:first-child{max-width:22em;overflow-wrap:anywhere}
input[type=search]{font:inherit;padding:3px 6px;width:22em}
section{border-top:1px solid #ccd;padding:.8em 0 .4em;content-visibility:auto;contain-intrinsic-size:auto 760px}
.mt{color:#555;margin:0 0 .5em}.pb{color:#a00}.no{color:#666;font-style:italic}
.cd th{font-weight:normal;color:#555}.cd tr:first-child th{font-weight:bold;color:#222}
.cd td{border-left:1px solid #e3e6ea;min-width:9em}.fm{font-weight:bold}.rb{color:#a04000}
.b{background:linear-gradient(90deg,#cfe1f3 calc(var(--v)*100%),transparent 0)}
.fg{display:flex;flex-wrap:wrap;gap:1em 2em;align-items:flex-start;margin-top:.6em}
figure{margin:0;max-width:100%}figcaption{font-size:12px;color:#444}.fi{width:360px}.fs{width:720px}
svg{display:block;max-width:100%;height:auto;font:10px system-ui,"DejaVu Sans",sans-serif}
.ax{fill:none;stroke:#555}.tk text{text-anchor:middle;fill:#444}.yl text{text-anchor:end;fill:#444}
.xl{text-anchor:end;fill:#444;font-style:italic}
.ms{fill:#2f6db5}.pt{fill:#e08a1e}.bv text{font-size:9px;fill:#333}.bv .e{text-anchor:end}
.un{stroke:#9aa0a8;fill:none}.ex{stroke:#c8302c;stroke-width:1.6;fill:none}.pr{stroke:#555;stroke-dasharray:2 3;fill:none}
.lb text{fill:#8d1d1a}
i.km,i.kp,i.ke{display:inline-block;width:.8em;height:.8em;margin:0 .25em 0 .1em;vertical-align:-.05em}
i.km{background:#2f6db5}i.kp{background:#e08a1e}i.ke{background:#c8302c}
.top{font-size:12px}details{margin-top:.2em}summary{cursor:pointer}
)";

// The search box and the sorting of the summary table: added by the script, so that without scripts the page is
// the plain table. Formulas are searched with their subscripts read as digits (NFKC), so "C6H12O6" finds C₆H₁₂O₆.
constexpr std::string_view kScript = R"(
(()=>{const t=document.getElementById('sum');if(!t)return;const b=t.tBodies[0],rows=[...b.rows];
const key=new Map(rows.map(r=>[r,[...r.cells].map(c=>c.textContent).join(' ').normalize('NFKC').toLowerCase()]));
const q=document.createElement('input');q.type='search';q.placeholder='Search ids, ions, formulas';
q.setAttribute('aria-label','Search the features');t.before(q);
q.oninput=()=>{const s=q.value.normalize('NFKC').toLowerCase().trim();for(const r of rows)r.hidden=s!==''&&!key.get(r).includes(s)};
t.classList.add('js');
t.tHead.onclick=e=>{const h=e.target.closest('th');if(!h)return;const c=h.cellIndex,up=h.dataset.o!=='a';
for(const x of t.tHead.rows[0].cells)delete x.dataset.o;h.dataset.o=up?'a':'d';
const v=r=>{const x=r.cells[c].textContent,n=Number(x);return x.trim()!==''&&!isNaN(n)?n:x};
const vals=new Map(rows.map(r=>[r,v(r)]));
rows.sort((p,r)=>{const a=vals.get(p),d=vals.get(r);const o=typeof a===typeof d?(a<d?-1:a>d?1:0):(typeof a==='number'?-1:1);return up?o:-o});
b.append(...rows)}})();
)";

}  // namespace

ReportSettings ReportSettingsFor(const RankConfig& config, std::string title) {
  ReportSettings s;
  s.top = config.top > 0 ? config.top : 5;
  s.table = &config.table.table;
  s.resolution = config.resolution;
  s.title = std::move(title);
  std::string& line = s.settings;
  line = "Elements ";
  for (size_t i = 0; i < config.blocks.size(); ++i) {
    const Block& b = config.blocks[i];
    if (i) line += ' ';
    line += b.name + std::to_string(b.min) + "-" + std::to_string(b.max);
  }
  const auto tolerance = [&](const Tolerance& t) {
    std::string text;
    if (t.ppm > 0) {
      AppendNumber(text, t.ppm, 3);
      text += " ppm";
    }
    if (t.ppm > 0 && t.mda > 0) text += " or ";
    if (t.mda > 0) {
      AppendNumber(text, t.mda, 3);
      text += " mDa";
    }
    return text;
  };
  line += "; tolerance " + tolerance(config.tolerance);
  if (config.msms)
    line += ", MS/MS fragments " + tolerance(config.fragments);
  else
    line += ", MS/MS not used";
  line += "; ion types ";
  if (config.ionsGiven && !config.autoIons) {
    for (size_t i = 0; i < config.ions.size(); ++i) line += (i ? ", " : "") + config.ions[i].Notation();
    line += " unless a feature names its own";
  } else {
    line += "as each feature names them, else the common ions of its polarity";
  }
  line += "; isotope patterns at resolving power ";
  AppendNumber(line, config.resolution, 0);
  line += config.known ? "; known formulas from " + config.knownFrom : "; no list of known formulas";
  return s;
}

void ReportWriter::Add(const ReportPart& part) {
  rows_ += part.row;
  sections_ += part.section;
  ++count_;
  answered_ += part.answered ? 1 : 0;
}

std::string ReportWriter::Finish() {
  std::string title = "ZELM report";
  if (!settings_.title.empty()) title += ": " + settings_.title;
  std::string page;
  page.reserve(rows_.size() + sections_.size() + 8192);
  // No request may leave the page, whatever its text: the policy allows inline style, script and data pictures only.
  page +=
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
      "script-src 'unsafe-inline'; img-src data:\">"
      "<meta name=\"viewport\" content=\"width=device-width\"><title>";
  AppendEscaped(page, title);
  page += "</title><style>";
  page += kStyle;
  page += "</style></head><body><header id=\"top\"><h1>";
  AppendEscaped(page, title);
  page += "</h1><p>";
  AppendEscaped(page, settings_.settings);
  page += "</p><p>" + std::to_string(count_) + (count_ == 1 ? " feature, " : " features, ") +
          std::to_string(answered_) + " with a candidate; the best " +
          std::to_string(settings_.top > 0 ? settings_.top : 5) +
          " candidates of each in its section. Probabilities are each candidate's share of its feature's "
          "candidates.</p></header>\n";
  page +=
      "<table id=\"sum\"><thead><tr><th>Feature<th>m/z<th>Ion<th>Best formula<th>p<th>Runner-up<th>p"
      "<th>Candidates</thead><tbody>\n";
  page += rows_;
  page += "</tbody></table>\n";
  page += sections_;
  page += "<script>";
  page += kScript;
  page += "</script></body></html>\n";
  rows_.clear();
  sections_.clear();
  count_ = answered_ = 0;
  return page;
}

std::string ReportHtml(const std::vector<Feature>& features, const std::vector<RankResult>& results,
                       const ReportSettings& settings) {
  ReportWriter writer(settings);
  for (size_t i = 0; i < features.size() && i < results.size(); ++i)
    writer.Add(ReportFeature(features[i], results[i], i, settings));
  return writer.Finish();
}

}  // namespace zelm
