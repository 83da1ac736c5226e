#!/usr/bin/python3
# dxf-readers-test.py VARNEL_CLI JOB SAMPLE...
# varnel-cli's drawings read by real CAD readers: ezdxf (Debian's python3-ezdxf) and
# LibreCAD's console printer, which hangs on a malformed file. JOB is the test job, whose
# points are typed below, one of them observed; the samples' drawings hold the points
# --sdr reads. A run killed
# while it writes a drawing, or whose write fails, leaves the old drawing and nothing else.
import os, random, re, resource, shutil, subprocess, sys, tempfile, time
import ezdxf

cli, job, samples = sys.argv[1], sys.argv[2], sys.argv[3:]
work, h = tempfile.mkdtemp(), 0.25
points = {  # id: layer, east, north, elevation, its label, the code's label
    "STN1": ("BASE", 2000, 5000, 120.45, "120.450", "BASE"), "P1": ("______", 2003.117, 5004.348, 120.512, "120.512", "Дерево"),
    "P2": ("CORNER__N_E___2", 2008.64, 5003.902, 120.498, "120.498", "CORNER, N.E. #2"),
    "P3": ("C_PNTNO", 2008.114, 4996.215, 0, None, "PNTNO"), "P4": ("0", 2002.589, 4996.66, 120.401, "120.401", None),
    "P6": ("____", 2004, 5003, 121, "121.000", "Липа"),  # observed
    "2001": ("MANHOLE", 2005.25, 5001.5, 120.7, "120.700000", "manhole"), "2002": ("STN2", 2006, 4998, 120.1, "120.100000", "STN2")}

def run(*arguments, stdin=None, limit=resource.RLIM_INFINITY):
    return subprocess.run([cli, "--dxf", *arguments], stdin=stdin, capture_output=True,
                          preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit)))

def read(dxf):  # the entities as ezdxf reads them, once LibreCAD has printed the drawing
    pdfs = tempfile.mkdtemp()
    subprocess.run(["librecad", "dxf2pdf", "-t", pdfs, dxf], env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
                   capture_output=True, timeout=30, check=True)
    audit = (doc := ezdxf.readfile(dxf)).audit()
    assert os.listdir(pdfs) and not audit.errors and not audit.fixes, (dxf, audit.errors, audit.fixes)
    return [(e.dxftype(), e.dxf.layer, *(e.dxf.location if e.dxftype() == "POINT" else e.dxf.insert),
                  e.dxf.text if e.dxftype() == "TEXT" else None) for e in doc.modelspace()]

def same(got, expected):  # entities alike, coordinates to the 0.001 written
    return len(got) == len(expected) and all(g[:2] == e[:2] and g[5] == e[5] and max(abs(a - b) for a, b in zip(g[2:5], e[2:5])) < 1e-3
                                             for g, e in zip(got, expected))

assert run(f"--text-height={h}", shutil.copy(job, work + "/job.sdr")).stderr.endswith(b": 9 points (2 stations, 1 from observations), 5 other lines, 1 not drawn: north or east is not a number\n")
drawing = open(work + "/job.dxf", "rb").read()
assert drawing.count(b"\n") == drawing.count(b"\r\n") and run(f"--text-height={h}", "-", stdin=open(job)).stdout == drawing
expected = []
for name, (layer, east, north, z, elevation, code) in points.items():
    expected += [("POINT", layer, east, north, z, None)] + [("TEXT", label, east + h / 2, north + rise * h, z, text) for label, rise, text
                                                            in (("PNTNO", 0.5, name), ("PNTELEV", -1, elevation), ("PNTDESC", -2.5, code)) if text]
assert same(read(work + "/job.dxf"), expected)

for sample in samples:  # a POINT where --sdr puts each point
    dxf = shutil.copy(sample, work)[:-3] + "dxf"
    csv = run(dxf[:-3] + "sdr").returncode == 0 and subprocess.run([cli, "--sdr", "-c", "ENZ", "-", "-s", "comma"], stdin=open(sample),
                                                                   capture_output=True, text=True).stdout.replace(",,", ",0,").split()
    drawn = [e for e in read(dxf) if e[0] == "POINT"]
    assert len(drawn) == len(csv) and same(drawn, [("POINT", e[1], *map(float, line.split(",")), None) for e, line in zip(drawn, csv)])

def writing(child):  # a file of the work folder other than the job is open: the drawing being written
    try: return any(re.match(work + r"/.*(?<!\.sdr)$", os.readlink(f"/proc/{child.pid}/fd/{fd}")) for fd in os.listdir(f"/proc/{child.pid}/fd"))
    except OSError: return False  # the file or the process went meanwhile

big, old, interrupted = work + "/big.sdr", b"old drawing\r\n", 0
open(big, "wb").write(open(job, "rb").read() * 20000)
open(big[:-3] + "dxf", "wb").write(old)
files = sorted(os.listdir(work))
assert run(big, limit=1 << 20).stderr.endswith(b"big.dxf: cannot write: File too large\n") and sorted(os.listdir(work)) == files
whole = open(big[:-3] + "dxf", "rb").read() == old and run(big).returncode == 0 and open(big[:-3] + "dxf", "rb").read()
for attempt in range(10):  # killed while the drawing is written
    open(big[:-3] + "dxf", "wb").write(old)
    child = subprocess.Popen([cli, "--dxf", big], stderr=subprocess.DEVNULL)
    while child.poll() is None and not writing(child):
        pass
    time.sleep(random.uniform(0, 0.02))
    child.kill()
    left = child.wait() in (0, -9) and open(big[:-3] + "dxf", "rb").read()
    interrupted += left == old
    assert left in (old, whole) and sorted(os.listdir(work)) == files, (attempt, len(left))
assert interrupted > 0 and len(whole) > 10 * len(old)
shutil.rmtree(work)
