#!/usr/bin/env python3
"""`tessra-cli station` on virtual printers, as a line runs it.

Each slot has its own virtual printer on a fixed link; after a unit is done
(or failed) the printer is stopped, and once the station has seen it leave a
fresh one (new state file, own factory address) is started on the same link.

  bench   units per hour for 1, 2, 4 and 8 slots; CPU while 8 slots wait
  operator  a simulated operator: takes each unit off H s after `done`, puts
          a fresh one on P s later; units per hour against the floor
  soak    many units over 8 slots, the station SIGKILLed at random moments
          and restarted; then every address, printer and ledger row is checked
  faults  8 slots: a vanished device, a printer that stops in the middle of
          a unit, a port held by another program, and 5 slots that go on
  window  tessra-station on 4 slots, saved as a picture (run under xvfb-run):
          one unit taken off, one done, one under way, one slot with no device

Usage: bench/station_virtual.py MODE [--build DIR] [--seconds S] [--units N]
"""
import argparse
import csv
import io
import json
import os
import random
import signal
import subprocess
import sys
import tempfile
import threading
import time

FIRST, LAST = 0x0A5C3E001000, 0x0A5C3E00FFFF  # the recipe's range
FACTORY = 0x0A5C3EF00000                        # fresh units, outside the range
FACTORY_BLOCK = "00 02 01 00"                   # a fresh virtual printer's settings


def mac_text(n):
    return ":".join(f"{(n >> s) & 0xFF:02X}" for s in range(40, -8, -8))


class Printer:
    """One slot's fixture: the virtual printer on it comes and goes."""

    def __init__(self, run, index):
        self.run, self.index = run, index
        self.link = os.path.join(run.dir, f"pty{index}")
        # Qt locks a port by its file name: each slot gets a name of its own.
        self.slot = os.path.join(run.dir, f"slot{index}")
        os.symlink(self.link, self.slot)
        self.proc, self.state, self.units, self.left_at = None, None, 0, 0.0
        self.keep_out = False  # no unit comes until this is cleared

    def plug(self, *extra):
        self.units += 1
        self.state = os.path.join(self.run.dir, f"state-{self.index}-{self.units}")
        factory = FACTORY + self.index * 0x1000 + self.units
        self.proc = subprocess.Popen(
            [self.run.sim, "--link", self.link, "--state", self.state, "--mac", mac_text(factory),
             "--log", os.devnull, *extra], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while not os.path.exists(self.link) and self.proc.poll() is None:
            time.sleep(0.005)
        self.run.states.append(self.state)

    def unplug(self):
        if self.proc:
            self.proc.terminate()
            self.proc.send_signal(signal.SIGCONT)  # a halted printer goes too
            self.proc.wait()
            self.proc, self.left_at = None, time.monotonic()


class Run:
    def __init__(self, build, slots, keep_speed=False):
        self.keep_speed = keep_speed
        self.dir = tempfile.mkdtemp(prefix="station-")
        self.cli = os.path.join(build, "cli", "tessra-cli")
        self.sim = os.path.join(build, "sim", "tessra-printer-sim")
        self.ledger = os.path.join(self.dir, "ledger.sqlite")
        self.states = []
        self.recipe = self.make_recipe()
        self.printers = [Printer(self, i) for i in range(slots)]

    def tool(self, *args):
        env = dict(os.environ, TESSRA_PASSWORD="Kovak")
        return subprocess.run([self.cli, "--ledger", self.ledger, *args], env=env,
                              capture_output=True, text=True, stdin=subprocess.DEVNULL)

    def make_recipe(self):
        # The settings of a factory unit moved to 115200 bps, saved from a
        # virtual printer, so that every unit changes speed on the way.
        p = subprocess.Popen([self.sim, "--link", os.path.join(self.dir, "model")],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while not os.path.exists(os.path.join(self.dir, "model")):
            time.sleep(0.01)
        port = ["--port", os.path.join(self.dir, "model")]
        if not self.keep_speed:
            self.tool(*port, "settings", "set", "baudrate=6")
        self.tool(*port, "settings", "save", os.path.join(self.dir, "fast.tessra"))
        p.terminate()
        p.wait()
        path = os.path.join(self.dir, "line-7.recipe")
        with open(path, "w") as f:
            f.write(f"tessra-recipe 1\nname = line-7\nsettings = fast.tessra\n"
                    f"mac-range = {mac_text(FIRST)}-{mac_text(LAST)}\ncustomer-code = 42\n")
        return path

    def station(self, count, printers=None):
        slots = ",".join(p.slot for p in (printers or self.printers))
        env = dict(os.environ, TESSRA_PASSWORD="Kovak")
        return subprocess.Popen(
            [self.cli, "--ledger", self.ledger, "--json", "--station", "soak", "--slots", slots,
             "--count", str(count), "station", self.recipe],
            env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)

    def by_slot(self):
        return {p.slot: p for p in self.printers}

    def drive(self, proc, deadline=None, on_event=None, tick=None):
        """Swaps printers as the station's events come; returns the events."""
        slots, events = self.by_slot(), []
        os.set_blocking(proc.stdout.fileno(), False)
        pending = ""
        while True:
            if deadline and time.monotonic() > deadline:
                return events, False
            try:
                chunk = proc.stdout.read()
            except TypeError:
                chunk = None
            if chunk:
                pending += chunk
            elif proc.poll() is not None:
                return events, True
            if tick:
                tick()
            # A unit whose leaving the station never told (it was killed
            # meanwhile) is followed by the next one after a while anyway.
            for p in slots.values():
                if not p.proc and not p.keep_out and p.left_at and time.monotonic() - p.left_at > 5:
                    p.plug()
            *lines, pending = pending.split("\n")
            for line in lines:
                e = json.loads(line)
                e["at"] = time.monotonic()
                events.append(e)
                p = slots.get(e.get("slot"))
                if on_event and on_event(e, p):
                    continue
                if e["event"] in ("done", "failed") and p:
                    p.unplug()
                elif e["event"] == "gone" and p and not p.proc:
                    p.plug()
            time.sleep(0.005 if tick else 0.02)


def wait_for_done(proc, count, limit=60):
    """Reads the station's events until `count` units are done."""
    text, t0 = "", time.monotonic()
    os.set_blocking(proc.stdout.fileno(), False)
    while text.count('"event":"done"') < count and time.monotonic() - t0 < limit:
        try:
            text += proc.stdout.read() or ""
        except TypeError:
            pass
        time.sleep(0.05)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def bench(args):
    single = None
    print(f"virtual printers, swap after each unit, {args.seconds:.0f} s per run")
    for n in [int(n) for n in args.slots.split(",") if n]:
        run = Run(args.build, n)
        for p in run.printers:
            p.plug()
        proc = run.station(100000)
        t0 = time.monotonic()
        events, _ = run.drive(proc, deadline=t0 + args.seconds)
        proc.send_signal(signal.SIGTERM)
        proc.wait()
        for p in run.printers:
            p.unplug()
        done = [e for e in events if e["event"] == "done"]
        rate = len(done) * 3600 / args.seconds
        single = single or rate
        unit = sum(e["seconds"] for e in done) / max(1, len(done))
        print(f"{n} slot(s): {len(done):3d} units in {args.seconds:.0f} s  {rate:6.0f} units/hour"
              f"  {rate / single:.2f}x one slot  {unit:.1f} s per unit", flush=True)
    for kind, extra in (("no printer answering", ("--no-reply",)), ("no device", None),
                        ("8 finished units on them", ())):
        run = Run(args.build, 8)
        if extra is not None:
            for p in run.printers:
                p.plug(*extra)
        proc = run.station(1 if extra != () else 100000)
        if extra == ():  # the units are done and stay, looked at until taken off
            wait_for_done(proc, 8)
        time.sleep(2)
        c0, t0 = cpu_seconds(proc.pid), time.monotonic()
        time.sleep(args.seconds)
        used, wall = cpu_seconds(proc.pid) - c0, time.monotonic() - t0
        proc.send_signal(signal.SIGTERM)
        proc.wait()
        for p in run.printers:
            p.unplug()
        print(f"8 slots waiting ({kind}): cpu {used:.2f} s in {wall:.0f} s"
              f" = {100 * used / wall:.2f}% of one core", flush=True)


def operate(args):
    """A simulated operator on every slot: H s after `done` the unit is taken
    off, P s later a fresh one is put on. Units per hour from each slot's
    done-to-done cycle; the floor per slot is unit time + H + P."""
    P = args.place
    print(f"simulated operator, P = {P} s, {args.seconds:.0f} s per run")
    print("| recipe | H | slots | units | units/hour | vs one slot | floor | of floor "
          "| unit s | station s |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    for keep in (True, False):
        for H in (1.0, 5.0):
            single = None
            for n in [int(n) for n in args.slots.split(",") if n]:
                run = Run(args.build, n, keep_speed=keep)
                plan, costs = [], []
                for p in run.printers:
                    p.plug()
                    p.placed_at = p.removed_at = None  # the first units wait for the start

                def tick():
                    now = time.monotonic()
                    for item in [i for i in plan if i[0] <= now]:
                        plan.remove(item)
                        _, what, p = item
                        if what == "off":
                            p.unplug()
                            p.removed_at = now
                            plan.append((now + P, "on", p))
                        else:
                            p.plug()
                            p.placed_at = time.monotonic()

                def on_event(e, p):
                    if not p:
                        return True
                    if e["event"] in ("done", "failed"):
                        plan.append((e["at"] + H, "off", p))
                    elif e["event"] == "present" and p.placed_at:
                        costs.append(e["at"] - p.placed_at)
                        p.placed_at = None
                    elif e["event"] == "gone" and p.removed_at:
                        costs.append(e["at"] - p.removed_at)
                        p.removed_at = None
                    return True

                proc = run.station(100000)
                events, _ = run.drive(proc, deadline=time.monotonic() + args.seconds,
                                      on_event=on_event, tick=tick)
                proc.send_signal(signal.SIGTERM)
                proc.wait()
                for p in run.printers:
                    p.unplug()
                done = [e for e in events if e["event"] == "done"]
                cycles = []
                for p in run.printers:
                    at = [e["at"] for e in done if e.get("slot") == p.slot]
                    cycles += [b - a for a, b in zip(at, at[1:])]
                unit = sum(e["seconds"] for e in done) / max(1, len(done))
                cycle = sum(cycles) / len(cycles) if cycles else float("inf")
                rate = n * 3600 / cycle
                single = single or rate
                floor = n * 3600 / (unit + H + P)
                # Each unit costs the station its arrival and its removal.
                station = 2 * sum(costs) / max(1, len(costs))
                print(f"| {'keeps speed' if keep else 'changes speed'} | {H:.0f} | {n} | {len(done)} "
                      f"| {rate:.0f} | {rate / single:.2f}x | {floor:.0f} | {100 * rate / floor:.0f}% "
                      f"| {unit:.2f} | {station:.2f} |", flush=True)
                subprocess.run(["rm", "-rf", run.dir])


def read_state(path):
    state = {}
    with open(path) as f:
        for line in f:
            if line and not line.startswith("#"):
                key, _, value = line.strip().partition(" ")
                state[key] = value
    return state


def check(run, finished):
    """The soak's end: addresses, printers and ledger rows agree."""
    problems = []
    shipped = set(finished)
    holders = {}
    for path in run.states:
        s = read_state(path)
        mac = int(s["mac"].replace(" ", ""), 16)
        holders.setdefault(mac, []).append((path, s))
    for mac, held in holders.items():
        if len(held) > 1:
            problems.append(f"{mac_text(mac)} on {len(held)} printers")
    out = run.tool("ledger", "list", "--csv").stdout
    rows = list(csv.DictReader(io.StringIO(out)))
    ledger = {}
    for r in rows:
        mac = int(r["address"].replace(":", ""), 16)
        ledger[mac] = r
        state, note = r.get("state"), r.get("note", "")
        if state == "verified" and mac not in holders:
            problems.append(f"{mac_text(mac)} verified but on no printer")
        elif state in ("abandoned", "failed") and not note:
            problems.append(f"{mac_text(mac)} {state} without a reason")
        elif state in ("reserved", "written") and any(p in shipped for p, _ in holders.get(mac, [])):
            problems.append(f"{mac_text(mac)} still {state} on a unit that left")
    for mac, held in holders.items():
        in_range = FIRST <= mac <= LAST
        if in_range and mac not in ledger:
            problems.append(f"{mac_text(mac)} on a printer, no ledger row")
        for path, s in held:
            # A unit that left unfinished is fine untouched (a failure before
            # any write), or when a ledger row names the address it carries.
            untouched = not in_range and s.get("customer-code") == "1" and s["block"] == FACTORY_BLOCK
            named = any(mac_text(mac) in r["note"] for r in rows)
            if path in shipped and (not in_range or s.get("customer-code") != "42") \
                    and not untouched and not named:
                problems.append(f"{path} left the slot half-provisioned, no row says so")
    counts = {}
    for r in rows:
        counts[r.get("state")] = counts.get(r.get("state"), 0) + 1
    return problems, counts, rows


def soak(args):
    run = Run(args.build, 8)
    for p in run.printers:
        p.plug()
    rng = random.Random(args.seed)
    finished, kills, restarts, t0 = [], 0, 0, time.monotonic()
    done = failed = 0
    reasons = {}

    def on_event(e, p):
        nonlocal done, failed
        if e["event"] == "failed":
            reasons[e.get("reason", "")] = reasons.get(e.get("reason", ""), 0) + 1
        if e["event"] in ("done", "failed") and p:
            done += e["event"] == "done"
            failed += e["event"] == "failed"
            finished.append(p.state)
        return False

    while done + failed < args.units and time.monotonic() - t0 < args.max_seconds:
        proc = run.station(args.units - done - failed)
        restarts += 1
        # A fresh station knows nothing of the last one: an empty slot gets its
        # next unit now.
        for p in run.printers:
            if not p.proc:
                p.plug()
        life = rng.uniform(0.2, args.kill_every * 2)
        _, ended = run.drive(proc, deadline=time.monotonic() + life, on_event=on_event)
        if not ended:
            proc.kill()
            kills += 1
        proc.wait()
    wall = time.monotonic() - t0
    for p in run.printers:
        p.unplug()
    problems, counts, rows = check(run, finished)
    print(f"soak: {done} done, {failed} failed over 8 slots in {wall:.0f} s "
          f"({(done + failed) * 3600 / wall:.0f} units/hour), station SIGKILLed {kills} times, "
          f"{len(run.states)} printers, {len(rows)} ledger rows {counts}")
    for reason, count in sorted(reasons.items(), key=lambda r: -r[1]):
        print(f"failed {count}x: {reason}")
    for problem in problems:
        print("PROBLEM", problem)
    print("soak: all checks passed" if not problems else f"soak: {len(problems)} problems")
    return 1 if problems else 0


def faults(args):
    run = Run(args.build, 8)
    vanished, halted, held, *normal = run.printers
    for p in run.printers:
        p.plug()
    vanished.unplug()  # the adapter is gone: the slot's name leads nowhere
    vanished.keep_out = True
    # Another program holds the port: the lock file Qt's serial ports (and so
    # every other Tessra tool) respect, naming this live process.
    lock = "/var/lock/LCK.." + held.slot.replace("/", "_")
    with open(lock, "w") as f:
        f.write(f"{os.getpid()}\n{os.path.basename(os.readlink('/proc/self/exe'))}\n"
                f"{os.uname().nodename}\n")
    stopped = []

    def causes_gone():  # half way: the adapter is back, the other program ends
        vanished.keep_out = False
        vanished.plug()
        os.unlink(lock)
    threading.Timer(args.seconds / 2, causes_gone).start()

    def on_event(e, p):
        # The printer on the second slot stops in the middle of its first unit.
        if (p is halted and e["event"] == "step" and e["step"].startswith("settings")
                and not stopped):
            halted.proc.send_signal(signal.SIGSTOP)
            stopped.append(time.monotonic())
            return True
        return False
    proc = run.station(100000)
    t0 = time.monotonic()
    events, _ = run.drive(proc, deadline=t0 + args.seconds, on_event=on_event)
    proc.send_signal(signal.SIGTERM)
    proc.wait()
    for p in run.printers:
        p.unplug()
    for p in run.printers:
        mine = [e for e in events if e.get("slot") == p.slot]
        kinds = {}
        for e in mine:
            kinds[e["event"]] = kinds.get(e["event"], 0) + 1
        done = [e for e in mine if e["event"] == "done"]
        each = sum(e["seconds"] for e in done) / len(done) if done else 0
        last = "; ".join(sorted({f'{e["event"]}: {e["reason"]}' for e in mine
                                 if e["event"] in ("fault", "failed") and e.get("reason")}))
        print(f"slot {p.index}: {kinds}  {each:.1f} s per unit  {last}")


def window(args):
    """tessra-station during a run, for the README's picture (under Xvfb)."""
    run = Run(args.build, 4)
    config = os.path.join(run.dir, "config")
    os.makedirs(os.path.join(config, "Tessra"))
    with open(os.path.join(config, "Tessra", "tessra-station.conf"), "w") as f:
        f.write(f"[General]\nrecipe={run.recipe}\n"
                f"slots={', '.join(p.slot for p in run.printers)}\n")
    env = dict(os.environ, TESSRA_PASSWORD="Kovak", TESSRA_LEDGER=run.ledger,
               XDG_CONFIG_HOME=config)
    app = subprocess.Popen([os.path.join(args.build, "stationapp", "tessra-station")], env=env)
    time.sleep(3)
    window_id = subprocess.run(["xdotool", "search", "--sync", "--name", "tessra-station"],
                               capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "mousemove", "--window", window_id, *args.click.split(","),
                    "click", "1"], check=False)
    # Units arrive one after another, so that the tiles show every state; the
    # first is taken off again, so that its tile shows an empty slot.
    for p in run.printers[:2]:
        p.plug()
    time.sleep(args.seconds)
    run.printers[0].unplug()
    run.printers[2].plug()
    time.sleep(1.5)  # a slot whose device was missing tries again once a second
    # The window sits in the corner of an empty screen: trim the rest away.
    subprocess.run(["import", "-window", "root", "-trim", "+repage", "-resize", "80%", "-colors", "32", args.out],
                   check=True)
    app.terminate()
    app.wait()
    for p in run.printers:
        p.unplug()
    subprocess.run(["rm", "-rf", run.dir])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("mode", choices=["bench", "operator", "soak", "faults", "window"])
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--units", type=int, default=1000)
    parser.add_argument("--kill-every", type=float, default=8, help="mean seconds between kills")
    parser.add_argument("--slots", default="1,2,4,8", help="bench: slot counts to run")
    parser.add_argument("--max-seconds", type=float, default=1e9, help="soak: end sooner")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--place", type=float, default=0.5, help="operator: P, seconds")
    parser.add_argument("--click", default="880,40", help="where Start is in the window")
    parser.add_argument("--out", default="docs/station.png")
    args = parser.parse_args()
    modes = {"bench": bench, "operator": operate, "soak": soak, "faults": faults, "window": window}
    return modes[args.mode](args) or 0


if __name__ == "__main__":
    sys.exit(main())
